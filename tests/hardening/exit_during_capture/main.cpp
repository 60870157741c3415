// folderfeed_exit_during_capture MODULE ROOT DELAY_US: a host that calls
// exit() from a second thread while its first thread takes captures. The
// process must end with status 0, however far the capture had got: the
// module's state is destroyed at exit, and a capture still loading on the
// worker must not find it gone.

#include "ModuleLibrary.h"

#include <QByteArray>
#include <QtGlobal>

#include <opencv2/core/mat.hpp>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

namespace {

void discardLog(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: folderfeed_exit_during_capture MODULE ROOT DELAY_US\n";
        return 2;
    }
    qInstallMessageHandler(discardLog);
    // exit() destroys the library's state but leaves these alone: it does
    // not return to main.
    const ModuleLibrary library(argv[1]);
    const ModulePtr module = library.createModule();
    module->setParam(nullptr, QByteArray::fromStdString(std::string("camera2,,1,") + argv[2]));
    if (!module->applyParam(nullptr)) {
        return 3;
    }
    const auto delay = std::chrono::microseconds(std::stol(argv[3]));
    std::thread([delay] {
        std::this_thread::sleep_for(delay);
        std::exit(0);
    }).detach();
    for (;;) {
        module->run();
        std::vector<cv::Mat> images;
        module->getResult(images, nullptr);
    }
}
