# Qt 5 Core and the OpenCV modules the project uses.

find_package(Qt5 REQUIRED COMPONENTS Core)

# OpenCV ships a CMake package on Windows and most distributions. Debian puts
# it only into the meta package libopencv-dev, which drags in about 130
# unrelated packages; with just the component packages installed, the headers
# and libraries are found here and wrapped into imported targets that carry
# the same names as OpenCV's own (opencv_core, opencv_imgcodecs, ...).
set(FOLDERFEED_OPENCV_MODULES core imgcodecs imgproc)
find_package(OpenCV QUIET COMPONENTS ${FOLDERFEED_OPENCV_MODULES})
if(OpenCV_FOUND)
    # OpenCV's official Windows package holds the single library opencv_world
    # instead of one per module: the module names then stand for it.
    foreach(module IN LISTS FOLDERFEED_OPENCV_MODULES)
        if(NOT TARGET opencv_${module} AND TARGET opencv_world)
            add_library(opencv_${module} INTERFACE IMPORTED GLOBAL)
            set_target_properties(opencv_${module} PROPERTIES
                INTERFACE_LINK_LIBRARIES opencv_world)
        endif()
    endforeach()
else()
    find_path(FOLDERFEED_OPENCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4)
    if(NOT FOLDERFEED_OPENCV_INCLUDE_DIR)
        message(FATAL_ERROR "OpenCV headers not found (Debian: libopencv-core-dev)")
    endif()
    foreach(module IN LISTS FOLDERFEED_OPENCV_MODULES)
        find_library(FOLDERFEED_OPENCV_${module}_LIBRARY opencv_${module})
        if(NOT FOLDERFEED_OPENCV_${module}_LIBRARY)
            message(FATAL_ERROR "OpenCV module ${module} not found (Debian: libopencv-${module}-dev)")
        endif()
        add_library(opencv_${module} SHARED IMPORTED GLOBAL)
        set_target_properties(opencv_${module} PROPERTIES
            IMPORTED_LOCATION "${FOLDERFEED_OPENCV_${module}_LIBRARY}"
            INTERFACE_INCLUDE_DIRECTORIES "${FOLDERFEED_OPENCV_INCLUDE_DIR}")
    endforeach()
    target_link_libraries(opencv_imgcodecs INTERFACE opencv_core)
    target_link_libraries(opencv_imgproc INTERFACE opencv_core)
    message(STATUS "OpenCV: component libraries in ${FOLDERFEED_OPENCV_INCLUDE_DIR}")
endif()
