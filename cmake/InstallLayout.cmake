# Where an install puts the project's files, below the install prefix. Read
# before the targets are defined: the folderfeed program carries the way from
# its own folder to the modules folder, so that an install still finds its
# module after it has been moved elsewhere.

include(GNUInstallDirs)

# Hosts load the module at run time, so it gets a folder of its own rather
# than a place on the linker's search path.
set(FOLDERFEED_INSTALL_MODULEDIR "${CMAKE_INSTALL_LIBDIR}/kelvra-folderfeed")
set(FOLDERFEED_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/KelvraFolderFeed")
set(FOLDERFEED_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/kelvra-folderfeed")

file(RELATIVE_PATH FOLDERFEED_MODULEDIR_FROM_BINDIR
    "${CMAKE_INSTALL_FULL_BINDIR}"
    "${CMAKE_INSTALL_FULL_LIBDIR}/kelvra-folderfeed")
