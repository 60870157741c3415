# Cross-compiles for Windows x64 with Debian's mingw-w64 (the posix threads
# variant, whose runtime has std::thread and std::filesystem in full).
# Programs run under Wine when it is installed, so tests built with this
# toolchain run from ctest here as they would on Windows.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FOLDERFEED_MINGW_TRIPLET x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${FOLDERFEED_MINGW_TRIPLET}-gcc-posix
                                    ${FOLDERFEED_MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${FOLDERFEED_MINGW_TRIPLET}-g++-posix
                                      ${FOLDERFEED_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${FOLDERFEED_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FOLDERFEED_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian installs the 64-bit launcher outside the PATH.
find_program(FOLDERFEED_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(FOLDERFEED_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${FOLDERFEED_WINE}")
endif()
