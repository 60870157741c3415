#!/usr/bin/env bash
# Install and package check: what a host author builds against must work as
# installed, not only in the build tree. Uses the normal build (PACKAGE_BUILD,
# default build/default, which the test command builds first).
#
#  1. `cmake --install` into a temp prefix lays out the expected files; the
#     prefix is then moved, as a relocated install must keep working.
#  2. The installed folderfeed writes a sample recording and replays it with
#     the installed module, which it finds by default.
#  3. examples/host is built against the installed package (CMAKE_PREFIX_PATH),
#     must not link the module, and is run on the recording and on each error
#     it handles.
#  4. `cpack -G DEB` makes the Debian package: computed dependencies, the same
#     files below /usr, installable with what is on this machine (apt's
#     simulation). It is extracted into a temp root, its folderfeed writes and
#     replays a recording, the example builds against it, and the root is
#     removed again.
#
# The package is extracted rather than installed with dpkg -i: the test must
# leave nothing installed even when it is killed half-way, must not wait for
# the dpkg lock while other builds on the machine run apt-get, and must not
# clash with a folderfeed already installed here.
set -euo pipefail
cd "$(dirname "$0")/../.."

# dpkg-shlibdeps computes the package's dependencies.
scripts/install-deps.sh dpkg-dev

build="${PACKAGE_BUILD:-build/default}"
cmake --build "${build}" --target Kelvra_FolderFeed folderfeed >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/folderfeed-package.XXXXXX")
trap 'rm -rf "${work}"' EXIT

fail() {
    echo "install-package: FAILED: $*" >&2
    exit 1
}

step() {
    echo "install-package: $*"
}

# Runs a command with its output in LOG; shows the log when it fails.
logged() {
    local log=$1
    shift
    if ! "$@" >"${log}" 2>&1; then
        cat "${log}" >&2
        fail "$* (output above)"
    fi
}

# The files of an install below its prefix. The README's pictures in
# share/doc/kelvra-folderfeed/docs/ may change and are not listed.
expected_files() {
    local prefix=$1
    printf '%s\n' \
        bin/folderfeed \
        include/kelvra-folderfeed/Base.h \
        lib/cmake/KelvraFolderFeed/FolderFeedOpenCV.cmake \
        lib/cmake/KelvraFolderFeed/KelvraFolderFeedConfig.cmake \
        lib/cmake/KelvraFolderFeed/KelvraFolderFeedConfigVersion.cmake \
        lib/kelvra-folderfeed/libKelvra_FolderFeed.so \
        share/doc/kelvra-folderfeed/README.md | sed "s|^|${prefix}|"
}

# Compares a list of installed files and links (on standard input) with the
# expected one.
check_file_list() {
    local what=$1 prefix=$2
    local actual
    actual=$({ grep -v "^${prefix}share/doc/kelvra-folderfeed/docs/" || true; } | LC_ALL=C sort)
    if ! diff -u <(expected_files "${prefix}" | LC_ALL=C sort) <(echo "${actual}") \
        >"${work}/layout.diff"; then
        cat "${work}/layout.diff" >&2
        fail "${what} holds other files than expected (- expected, + found)"
    fi
}

# Replays a sample recording with a folderfeed and its default module.
check_folderfeed() {
    local folderfeed=$1 recording=$2 captures=$3
    logged "${work}/sample.log" "${folderfeed}" sample "${recording}" --captures "${captures}"
    logged "${work}/replay.log" "${folderfeed}" replay "${recording}" --camera camera2 --quiet
    grep -q "^${captures} captures, $((2 * captures)) images" "${work}/replay.log" ||
        fail "${folderfeed} replay did not hand over ${captures} captures of 2 images:
$(cat "${work}/replay.log")"
}

# Builds the example host against the package installed below PREFIX.
build_example() {
    local prefix=$1 example_build=$2
    logged "${example_build}.configure.log" cmake -S examples/host -B "${example_build}" -G Ninja \
        -DCMAKE_PREFIX_PATH="${prefix}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        "-DCMAKE_CXX_FLAGS=-Wall -Wextra -Wpedantic -Werror"
    logged "${example_build}.build.log" cmake --build "${example_build}" -j2
    if readelf -d "${example_build}/host_example" | grep NEEDED | grep -q Kelvra_FolderFeed; then
        fail "the example host links the module library; it must only load it at run time"
    fi
}

# --- 1. cmake --install, layout, relocation --------------------------------
step "cmake --install into a temp prefix"
logged "${work}/install.log" cmake --install "${build}" --prefix "${work}/staged"
(cd "${work}/staged" && find . \( -type f -o -type l \) | sed 's|^\./||') |
    check_file_list "the install prefix" ""
[[ -x "${work}/staged/bin/folderfeed" ]] || fail "bin/folderfeed is not executable"
mv "${work}/staged" "${work}/prefix"
prefix="${work}/prefix"
installed_module="${prefix}/lib/kelvra-folderfeed/libKelvra_FolderFeed.so"

# --- 2. the installed program -----------------------------------------------
step "installed folderfeed: sample and replay, from a moved prefix"
recording="${work}/recording"
check_folderfeed "${prefix}/bin/folderfeed" "${recording}" 4
# Without its module the installed program must name the installed path: the
# replay above cannot have used another library.
mv "${installed_module}" "${work}/module.so"
status=0
"${prefix}/bin/folderfeed" replay "${recording}" --camera camera2 --quiet \
    >/dev/null 2>"${work}/no-module.log" || status=$?
mv "${work}/module.so" "${installed_module}"
if [[ ${status} -ne 3 ]] || ! grep -qF "${installed_module}" "${work}/no-module.log"; then
    fail "installed folderfeed without its module: status ${status}, expected 3 and the installed
path ${installed_module}: $(cat "${work}/no-module.log")"
fi

# --- 3. the example host against the installed package ----------------------
step "examples/host built against the installed package"
example="${work}/example"
build_example "${prefix}" "${example}"
host="${example}/host_example"

# Five captures of four folders: the round starts again at the first.
expected="${work}/expected.txt"
{
    echo "module: ${installed_module}"
    for capture in 0 1 2 3 4; do
        echo "capture ${capture}: 2 images: 640x480 3ch 8U, 640x480 1ch 16U"
    done
} >"${expected}"
"${host}" "camera2,unused,1,${recording}" 5 >"${work}/host.log" 2>"${work}/host.err" ||
    fail "host_example on the sample recording: status $?: $(cat "${work}/host.err")"
diff -u "${expected}" "${work}/host.log" >&2 ||
    fail "host_example printed other captures than expected (- expected, + printed)"

# A file that cannot be decoded arrives as an empty image; a folder with
# nothing for the camera gives a capture without images, which is no error.
mkdir -p "${work}/odd/a" "${work}/odd/b"
printf 'not an image' >"${work}/odd/a/camera2_broken.bmp"
"${host}" "camera2,unused,1,${work}/odd" 2 >"${work}/odd.log" 2>"${work}/odd.err" ||
    fail "host_example on a broken file and an empty folder: status $?: $(cat "${work}/odd.err")"
diff -u <(printf 'module: %s\ncapture 0: 1 image: empty\ncapture 1: 0 images\n' \
    "${installed_module}") "${work}/odd.log" >&2 ||
    fail "host_example on a broken file and an empty folder (- expected, + printed)"

# Each error the example handles: exit status and the text that names it.
printf 'extern "C" void destory(void*) {}\n' |
    c++ -shared -fPIC -x c++ -o "${work}/no-create.so" -
expect_host_error() {
    local status=$1 text=$2
    shift 2
    local got=0
    "${host}" "$@" >/dev/null 2>"${work}/error.log" || got=$?
    if [[ ${got} -ne ${status} ]] || ! grep -qF -- "${text}" "${work}/error.log"; then
        fail "host_example $*: status ${got}, expected ${status} and '${text}':
$(cat "${work}/error.log")"
    fi
}
root="${recording}"
expect_host_error 3 "cannot load module library ${work}/none.so" \
    "camera2,unused,1,${root}" 1 "${work}/none.so"
expect_host_error 3 "no 'create' entry point" "camera2,unused,1,${root}" 1 "${work}/no-create.so"
expect_host_error 4 "the module rejected 'camera2,unused,1'" "camera2,unused,1"
expect_host_error 4 "is not a number" "camera2,unused,many,${root}"
expect_host_error 4 "is out of range" "camera2,unused,99999999999999999999,${root}"
expect_host_error 4 "cannot walk the recording" "camera2,unused,1,${work}/no-such-recording"
expect_host_error 2 "CAPTURES must be a whole number" "camera2,unused,1,${root}" 0
expect_host_error 2 "usage:"

# --- 4. the Debian package ---------------------------------------------------
step "cpack -G DEB"
logged "${work}/cpack.log" cpack -G DEB --config "${build}/CPackConfig.cmake" -B "${work}/deb"
debs=("${work}"/deb/*.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || fail "cpack made no single .deb: ${debs[*]}"
deb="${debs[0]}"

depends=$(dpkg-deb -f "${deb}" Depends)
for dependency in 'libqt5core5a' 'libopencv-core[0-9]' 'libopencv-imgcodecs[0-9]' 'libc6'; do
    grep -Eq "(^|, )${dependency}" <<<"${depends}" ||
        fail "the package's Depends lacks ${dependency}: ${depends}"
done
dpkg-deb --fsys-tarfile "${deb}" | tar -t | grep -v '/$' | sed 's|^\./||' |
    check_file_list "the Debian package" "usr/"

# Every dependency is satisfied here: apt would install this package alone.
logged "${work}/apt.log" apt-get install --simulate --no-install-recommends "${deb}"
installs=$({ grep '^Inst ' "${work}/apt.log" || true; } | cut -d' ' -f2)
[[ "${installs}" == "kelvra-folderfeed" ]] ||
    fail "apt would install other packages with it: ${installs//$'\n'/ }"

step "Debian package extracted into a temp root: sample, replay, example host"
package_root="${work}/root"
dpkg-deb -x "${deb}" "${package_root}"
check_folderfeed "${package_root}/usr/bin/folderfeed" "${work}/package-recording" 2
build_example "${package_root}/usr" "${work}/package-example"
"${work}/package-example/host_example" "camera2,unused,1,${work}/package-recording" 1 \
    >"${work}/package-host.log" 2>"${work}/package-host.err" ||
    fail "host_example against the package: status $?: $(cat "${work}/package-host.err")"
grep -qxF "module: ${package_root}/usr/lib/kelvra-folderfeed/libKelvra_FolderFeed.so" \
    "${work}/package-host.log" ||
    fail "host_example against the package loaded another module: $(cat "${work}/package-host.log")"

rm -rf "${package_root}"
[[ ! -e "${package_root}" ]] || fail "the package's temp root could not be removed"
step "done: $(basename "${deb}"), Depends: ${depends}"
