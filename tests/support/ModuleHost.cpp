#include "ModuleHost.h"

#include <QByteArray>
#include <QString>

namespace {

std::mutex recordsMutex;
std::vector<LogRecord> capturedRecords;

void keepMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const std::lock_guard<std::mutex> lock(recordsMutex);
    capturedRecords.push_back(LogRecord{type, message.toStdString(),
                                        context.file != nullptr ? context.file : "", context.line,
                                        context.function != nullptr ? context.function : ""});
}

} // namespace

LogCapture::LogCapture() {
    qInstallMessageHandler(keepMessage);
}

LogCapture::~LogCapture() {
    qInstallMessageHandler(nullptr);
}

std::vector<LogRecord> LogCapture::records() const {
    const std::lock_guard<std::mutex> lock(recordsMutex);
    return capturedRecords;
}

std::vector<std::string> LogCapture::texts() const {
    std::vector<std::string> texts;
    for (const auto& record : records()) {
        texts.push_back(record.text);
    }
    return texts;
}

void LogCapture::clear() {
    const std::lock_guard<std::mutex> lock(recordsMutex);
    capturedRecords.clear();
}

bool HostTest::configure(const std::string& param) {
    module->setParam(nullptr, QByteArray(param.data(), static_cast<int>(param.size())));
    return module->applyParam(nullptr);
}

std::vector<cv::Mat> HostTest::capture() {
    EXPECT_TRUE(module->run());
    std::vector<cv::Mat> images;
    module->getResult(images, nullptr);
    return images;
}
