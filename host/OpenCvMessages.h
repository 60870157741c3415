#pragma once

#include <memory>
#include <streambuf>

// OpenCV's own messages in the program's process. The program reports every
// empty image itself, with its path and reason, so OpenCV's lines about the
// same files ("imdecode_(''): can't read data: ...") are noise unless
// --verbose asks for them. Two ways lead there: OpenCV's logger, whose level
// the program sets (silent, or warnings with verbose; a level given in
// OPENCV_LOG_LEVEL is left alone), and the decoder's complaints, which
// OpenCV 4 writes straight to std::cerr whatever the level. While an object
// lives, std::cerr's lines pass through it: those are dropped unless verbose,
// every other line goes on whole. The program's own lines do not use
// std::cerr (Console.h). Only the program does this, for its own process:
// the module never configures its host's.
class OpenCvMessages {
public:
    explicit OpenCvMessages(bool verbose);
    ~OpenCvMessages();

    OpenCvMessages(const OpenCvMessages&) = delete;
    OpenCvMessages& operator=(const OpenCvMessages&) = delete;

private:
    class LineFilter;

    std::unique_ptr<LineFilter> filter_;
    std::streambuf* previous_ = nullptr;
};
