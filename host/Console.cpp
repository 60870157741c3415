#include "Console.h"

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <cstdio>
#include <iostream>
#include <mutex>

#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define STDERR_FILENO 2
#else
#include <unistd.h>
#endif

namespace {

// The program's own standard error. It keeps the stream that std::cerr had
// when the program started, so that its lines go straight out even while
// std::cerr is filtered (OpenCvMessages.h).
std::ostream programErr(std::cerr.rdbuf());

std::mutex consoleMutex;
std::string progressText; // guarded by consoleMutex
std::atomic<bool> showEveryLogLine{false};

bool stderrIsTerminal() {
    static const bool terminal = isatty(STDERR_FILENO) != 0;
    return terminal;
}

// Callers hold consoleMutex.
void eraseProgressLocked() {
    if (!progressText.empty()) {
        programErr << "\r\033[K" << std::flush;
    }
}

void drawProgressLocked() {
    if (!progressText.empty()) {
        programErr << '\r' << progressText << "\033[K" << std::flush;
    }
}

void writeLine(std::ostream& stream, const std::string& line) {
    const std::lock_guard<std::mutex> lock(consoleMutex);
    eraseProgressLocked();
    stream << line << '\n' << std::flush;
    drawProgressLocked();
}

const char* levelName(QtMsgType type) {
    switch (type) {
    case QtDebugMsg:
        return "debug";
    case QtInfoMsg:
        return "info";
    case QtWarningMsg:
        return "warning";
    case QtCriticalMsg:
        return "critical";
    case QtFatalMsg:
        return "fatal";
    }
    return "log";
}

void showModuleMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const bool everything = showEveryLogLine.load();
    if (!everything && (type == QtDebugMsg || type == QtInfoMsg)) {
        return;
    }
    std::string line = "module: " + text.toStdString();
    if (everything) {
        line += std::string("  (") + levelName(type) + ", " +
                (context.file != nullptr ? context.file : "?") + ":" +
                std::to_string(context.line) + ", " +
                (context.function != nullptr ? context.function : "?") + ")";
    }
    writeLine(programErr, line);
}

} // namespace

void printLine(const std::string& line) {
    writeLine(std::cout, line);
}

void printNote(const std::string& line) {
    writeLine(programErr, line);
}

void showProgress(const std::string& text) {
    if (!stderrIsTerminal()) {
        return;
    }
    const std::lock_guard<std::mutex> lock(consoleMutex);
    progressText = text;
    drawProgressLocked();
}

void clearProgress() {
    const std::lock_guard<std::mutex> lock(consoleMutex);
    eraseProgressLocked();
    progressText.clear();
}

ModuleLogOutput::ModuleLogOutput(Verbosity verbosity) {
    showEveryLogLine.store(verbosity == Verbosity::Verbose);
    qInstallMessageHandler(showModuleMessage);
}

ModuleLogOutput::~ModuleLogOutput() {
    qInstallMessageHandler(nullptr);
}
