#!/usr/bin/env bash
# OpenCV for Windows x64 as DLLs: core, imgproc and imgcodecs only, reading
# BMP (always built in) and TIFF (the libtiff in PREFIX), every other codec,
# GUI, video, OpenCL, IPP and parallel back end off, and no code dispatched
# by CPU at run time (CPU_DISPATCH empty), so the build stays small and fast.
#   build-opencv.sh SOURCE_DIR BUILD_DIR PREFIX
set -euo pipefail
source="$1"
build="$2"
prefix="$3"
root="$(cd "$(dirname "$0")/../.." && pwd)"
sysroot=/usr/x86_64-w64-mingw32

off=(
    # codecs other than BMP and TIFF
    WITH_PNG WITH_SPNG WITH_JPEG WITH_WEBP WITH_OPENJPEG WITH_JASPER WITH_OPENEXR
    WITH_IMGCODEC_HDR WITH_IMGCODEC_SUNRASTER WITH_IMGCODEC_PXM WITH_IMGCODEC_PFM
    WITH_GDAL WITH_GDCM
    # GUI and video
    WITH_WIN32UI WITH_GTK WITH_QT WITH_OPENGL WITH_VTK WITH_FFMPEG WITH_GSTREAMER
    WITH_DSHOW WITH_MSMF WITH_1394 WITH_V4L WITH_OBSENSOR WITH_DIRECTX
    # accelerators and parallel back ends
    WITH_OPENCL WITH_OPENCLAMDFFT WITH_OPENCLAMDBLAS WITH_OPENCL_D3D11_NV WITH_VA
    WITH_VA_INTEL WITH_CUDA WITH_VULKAN WITH_OPENVX WITH_IPP WITH_TBB WITH_OPENMP
    WITH_PTHREADS_PF WITH_HPX WITH_CAROTENE WITH_EIGEN WITH_LAPACK WITH_ITT
    # other libraries that the three modules do not need
    WITH_PROTOBUF WITH_QUIRC WITH_ADE WITH_IMGCODEC_GIF
    BUILD_ZLIB BUILD_TIFF BUILD_TESTS BUILD_PERF_TESTS BUILD_EXAMPLES BUILD_DOCS
    BUILD_opencv_apps BUILD_JAVA BUILD_opencv_python2 BUILD_opencv_python3
    BUILD_opencv_world ENABLE_PRECOMPILED_HEADERS OPENCV_GENERATE_PKGCONFIG
)
flags=()
for option in "${off[@]}"; do
    flags+=("-D${option}=OFF")
done

cmake -S "$source" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="${root}/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=ON \
    -DBUILD_LIST=core,imgproc,imgcodecs \
    -DCPU_DISPATCH= \
    -DWITH_TIFF=ON \
    -DTIFF_INCLUDE_DIR="${prefix}/include" \
    -DTIFF_LIBRARY="${prefix}/lib/libtiff.a" \
    -DZLIB_INCLUDE_DIR="${sysroot}/include" \
    -DZLIB_LIBRARY="${sysroot}/lib/libz.a" \
    "${flags[@]}" >"${build}.configure.log" 2>&1 || {
    tail -40 "${build}.configure.log" >&2
    exit 1
}
# The build has to have found what it was given, not quietly dropped it.
grep -Eq 'TIFF:.*libtiff\.a' "${build}.configure.log" || {
    grep -E 'TIFF|ZLIB' "${build}.configure.log" >&2
    echo "windows deps: OpenCV did not take the libtiff in ${prefix}" >&2
    exit 1
}
cmake --build "$build" -j2 >/dev/null
cmake --install "$build" >/dev/null
