#include "OpenCvMessages.h"

#include "Console.h"

#include <opencv2/core/utils/logger.hpp>

#include <cstdlib>
#include <iostream>
#include <mutex>
#include <string>

// Unbuffered, so every character arrives here at once; the worker thread of
// the module writes through it while the program's thread may too.
class OpenCvMessages::LineFilter : public std::streambuf {
public:
    explicit LineFilter(bool verbose) : verbose_(verbose) {}
    ~LineFilter() override { passOn(); }

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            const char character = traits_type::to_char_type(c);
            xsputn(&character, 1);
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (std::streamsize i = 0; i < count; ++i) {
            if (text[i] == '\n') {
                passOnLocked();
            } else {
                line_ += text[i];
            }
        }
        return count;
    }

private:
    void passOn() {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!line_.empty()) {
            passOnLocked();
        }
    }

    void passOnLocked() {
        // The module decodes from memory (imdecode), a host of its own may
        // use imread; each complaint ends in a blank line of its own.
        const bool fromDecoder =
            line_.rfind("imread_(", 0) == 0 || line_.rfind("imdecode_(", 0) == 0;
        const bool endOfDecoderLine = line_.empty() && lastWasDecoder_;
        if (fromDecoder ? verbose_ : !endOfDecoderLine) {
            printNote(line_);
        }
        lastWasDecoder_ = fromDecoder;
        line_.clear();
    }

    const bool verbose_;
    std::mutex mutex_;
    std::string line_;
    bool lastWasDecoder_ = false;
};

OpenCvMessages::OpenCvMessages(bool verbose) : filter_(std::make_unique<LineFilter>(verbose)) {
    if (std::getenv("OPENCV_LOG_LEVEL") == nullptr) {
        cv::utils::logging::setLogLevel(verbose ? cv::utils::logging::LOG_LEVEL_WARNING
                                                : cv::utils::logging::LOG_LEVEL_SILENT);
    }
    previous_ = std::cerr.rdbuf(filter_.get());
}

OpenCvMessages::~OpenCvMessages() {
    std::cerr.rdbuf(previous_);
}
