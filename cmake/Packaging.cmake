# The Debian package, made from the install rules by `cpack -G DEB` in a
# build folder. It holds everything that `cmake --install` lays out, below
# /usr. Its run-time dependencies are read from the binaries by
# dpkg-shlibdeps (Debian package dpkg-dev).

set(CPACK_PACKAGE_NAME kelvra-folderfeed)
set(CPACK_PACKAGE_VENDOR "Kelvra_FolderFeed developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Folder camera module: replays recorded image folders to a machine-vision host")
set(CPACK_PACKAGE_DESCRIPTION
    "The module library that a machine-vision host loads at run time in place of a camera;
each capture hands over the images of the next folder of a recording as cv::Mat.
With the folderfeed program (replay, inspect, sample), the interface header and
the CMake package KelvraFolderFeed for building hosts.")
set(CPACK_PACKAGE_CONTACT "Kelvra_FolderFeed developers" CACHE STRING
    "Maintainer field of the Debian package")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Building a host against the package needs the headers of these.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qtbase5-dev, libopencv-core-dev")

include(CPack)
