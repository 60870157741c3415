# Qt 5 Core and the OpenCV modules the project uses.

find_package(Qt5 REQUIRED COMPONENTS Core)

include(FolderFeedOpenCV)
folderfeed_find_opencv(ERROR_VARIABLE opencv_error MODULES core imgcodecs imgproc)
if(opencv_error)
    message(FATAL_ERROR "${opencv_error}")
endif()
