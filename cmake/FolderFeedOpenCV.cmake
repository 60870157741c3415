# Finds OpenCV modules as imported targets named as in OpenCV's own CMake
# package (opencv_core, opencv_imgcodecs, ...). The build and the installed
# KelvraFolderFeed package both use it, so a host finds OpenCV the way the
# module was built against it.
#
#   folderfeed_find_opencv(ERROR_VARIABLE <var> MODULES <module>... [QUIET])
#
# Sets <var> to a message naming what is missing, or to "" when every module
# was found. QUIET leaves out the status line of the fallback.
#
# OpenCV ships a CMake package on Windows and most distributions. Debian puts
# it only into the meta package libopencv-dev, which drags in about 130
# unrelated packages; with just the component packages installed, the headers
# and libraries are found here and wrapped into imported targets that carry
# the same names as OpenCV's own.
function(folderfeed_find_opencv)
    cmake_parse_arguments(ARG "QUIET" "ERROR_VARIABLE" "MODULES" ${ARGN})
    set(${ARG_ERROR_VARIABLE} "" PARENT_SCOPE)
    # Every other module's headers include the core's.
    set(modules core ${ARG_MODULES})
    list(REMOVE_DUPLICATES modules)

    find_package(OpenCV QUIET COMPONENTS ${modules})
    if(OpenCV_FOUND)
        # OpenCV's official Windows package holds the single library
        # opencv_world instead of one per module: the module names then stand
        # for it.
        foreach(module IN LISTS modules)
            if(NOT TARGET opencv_${module} AND TARGET opencv_world)
                add_library(opencv_${module} INTERFACE IMPORTED)
                set_target_properties(opencv_${module} PROPERTIES
                    INTERFACE_LINK_LIBRARIES opencv_world)
            endif()
        endforeach()
        return()
    endif()

    find_path(FOLDERFEED_OPENCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4)
    if(NOT FOLDERFEED_OPENCV_INCLUDE_DIR)
        set(${ARG_ERROR_VARIABLE}
            "OpenCV headers not found (Debian: libopencv-core-dev)" PARENT_SCOPE)
        return()
    endif()
    # Every library is looked for before any target is made, so that a
    # missing one leaves no half-made set behind.
    foreach(module IN LISTS modules)
        find_library(FOLDERFEED_OPENCV_${module}_LIBRARY opencv_${module})
        if(NOT FOLDERFEED_OPENCV_${module}_LIBRARY)
            set(${ARG_ERROR_VARIABLE}
                "OpenCV module ${module} not found (Debian: libopencv-${module}-dev)"
                PARENT_SCOPE)
            return()
        endif()
    endforeach()
    foreach(module IN LISTS modules)
        if(TARGET opencv_${module})
            continue()
        endif()
        add_library(opencv_${module} SHARED IMPORTED)
        set_target_properties(opencv_${module} PROPERTIES
            IMPORTED_LOCATION "${FOLDERFEED_OPENCV_${module}_LIBRARY}"
            INTERFACE_INCLUDE_DIRECTORIES "${FOLDERFEED_OPENCV_INCLUDE_DIR}")
        if(NOT module STREQUAL "core")
            set_property(TARGET opencv_${module} APPEND PROPERTY
                INTERFACE_LINK_LIBRARIES opencv_core)
        endif()
    endforeach()
    if(NOT ARG_QUIET)
        message(STATUS "OpenCV: component libraries in ${FOLDERFEED_OPENCV_INCLUDE_DIR}")
    endif()
endfunction()
