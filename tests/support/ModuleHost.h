#pragma once

#include "ModuleLibrary.h"

#include <QtGlobal>

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

// One message as the host's Qt message handler receives it.
struct LogRecord {
    QtMsgType type;
    std::string text;
    std::string file;
    int line;
    std::string function;
};

// Installs a Qt message handler that keeps every message, as a host's would.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();

    std::vector<LogRecord> records() const;
    std::vector<std::string> texts() const;
    void clear();
};

// A host as tests see it: the built module library loaded at run time, one
// module object made by create, log lines captured.
class HostTest : public testing::Test {
protected:
    // setParam then applyParam, as a host configures.
    bool configure(const std::string& param);
    // One capture as a host takes it: run, then getResult.
    std::vector<cv::Mat> capture();

    LogCapture logs;
    ModuleLibrary library{FOLDERFEED_MODULE_PATH};
    ModulePtr module = library.createModule();
};
