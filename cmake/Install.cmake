# What `cmake --install` lays out (folders from InstallLayout.cmake):
#
#   bin/folderfeed
#   lib/kelvra-folderfeed/libKelvra_FolderFeed.so   (Kelvra_FolderFeed.dll)
#   include/kelvra-folderfeed/Base.h
#   lib/cmake/KelvraFolderFeed/                     the package configuration
#   share/doc/kelvra-folderfeed/                    README and its pictures

include(CMakePackageConfigHelpers)

# The library has no version in its name and no development link: hosts open
# it by path and never link it.
install(TARGETS Kelvra_FolderFeed
    LIBRARY DESTINATION "${FOLDERFEED_INSTALL_MODULEDIR}" NAMELINK_SKIP
    RUNTIME DESTINATION "${FOLDERFEED_INSTALL_MODULEDIR}")
if(TARGET folderfeed)
    install(TARGETS folderfeed RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
endif()
install(FILES interface/Base.h DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/kelvra-folderfeed")
install(FILES README.md DESTINATION "${FOLDERFEED_INSTALL_DOCDIR}")
install(DIRECTORY docs DESTINATION "${FOLDERFEED_INSTALL_DOCDIR}")

# The module's file name as the build makes it (on Windows without "lib").
get_target_property(module_prefix Kelvra_FolderFeed PREFIX)
if(module_prefix STREQUAL "module_prefix-NOTFOUND")
    set(module_prefix "${CMAKE_SHARED_LIBRARY_PREFIX}")
endif()
set(FOLDERFEED_MODULE_FILE_NAME
    "${module_prefix}Kelvra_FolderFeed${CMAKE_SHARED_LIBRARY_SUFFIX}")

configure_package_config_file(cmake/KelvraFolderFeedConfig.cmake.in
    "${PROJECT_BINARY_DIR}/KelvraFolderFeedConfig.cmake"
    INSTALL_DESTINATION "${FOLDERFEED_INSTALL_CMAKEDIR}"
    PATH_VARS CMAKE_INSTALL_INCLUDEDIR FOLDERFEED_INSTALL_MODULEDIR)
write_basic_package_version_file("${PROJECT_BINARY_DIR}/KelvraFolderFeedConfigVersion.cmake"
    COMPATIBILITY SameMajorVersion)
install(FILES
    "${PROJECT_BINARY_DIR}/KelvraFolderFeedConfig.cmake"
    "${PROJECT_BINARY_DIR}/KelvraFolderFeedConfigVersion.cmake"
    cmake/FolderFeedOpenCV.cmake
    DESTINATION "${FOLDERFEED_INSTALL_CMAKEDIR}")
