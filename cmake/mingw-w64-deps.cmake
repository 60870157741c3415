# The mingw-w64 toolchain of mingw-w64.cmake, finding Qt, OpenCV and the
# other libraries in the Windows prefixes named by FOLDERFEED_WINDOWS_PREFIXES
# (a list; scripts/windows-deps/build.sh makes the one with Qt, OpenCV and
# libtiff). Configures the whole project, the module DLL and the folderfeed
# program, for Windows x64:
#   cmake -S . -B build/windows-dll -G Ninja -DFOLDERFEED_BUILD_TESTS=OFF \
#         -DCMAKE_TOOLCHAIN_FILE=$PWD/cmake/mingw-w64-deps.cmake \
#         -DFOLDERFEED_WINDOWS_PREFIXES="/var/cache/kelvra-folderfeed/windows/<key>/prefix"

include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake")

if(NOT FOLDERFEED_WINDOWS_PREFIXES AND DEFINED ENV{FOLDERFEED_WINDOWS_PREFIXES})
    set(FOLDERFEED_WINDOWS_PREFIXES "$ENV{FOLDERFEED_WINDOWS_PREFIXES}")
endif()
if(NOT FOLDERFEED_WINDOWS_PREFIXES)
    message(FATAL_ERROR "Set FOLDERFEED_WINDOWS_PREFIXES to the prefixes with Qt and OpenCV for Windows")
endif()
# Compiler checks run as projects of their own and see only what is passed on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FOLDERFEED_WINDOWS_PREFIXES)

# Searched before the mingw-w64 system root, so that nothing of the build
# machine's own Qt, OpenCV or CLI11 is found.
list(PREPEND CMAKE_FIND_ROOT_PATH ${FOLDERFEED_WINDOWS_PREFIXES})
