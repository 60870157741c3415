#include "Kelvra_FolderFeed.h"

#include "CaptureDrain.h"
#include "ModuleLock.h"
#include "ModuleState.h"
#include "MyThread.h"
#include "collectSubFolders.h"

#include <QDebug>
#include <QString>

#include <iostream>

std::string paramText;
std::string cameraName;
std::string paramField2;
int paramNumber = 1;
std::string rootFolder;
std::vector<std::string> subFolders;
int folderIndex = 0;
std::vector<cv::Mat> pendingImages;
std::atomic<bool> captureDone{false};

namespace {

// The number that the end-of-capture log line has always carried; hosts that
// parse the log may look for it.
constexpr int runEndMarker = 174;

} // namespace

Kelvra_FolderFeed::Kelvra_FolderFeed() : workerThread(new MyThread) {}

Kelvra_FolderFeed::~Kelvra_FolderFeed() {
    if (workerThread != nullptr) {
        workerThread->exit(0);
        // A QThread deleted while its thread runs aborts the whole host
        // process. The worker always ends by itself shortly after it has set
        // captureDone, so waiting for it without a limit cannot hang.
        workerThread->wait();
        delete workerThread;
        workerThread = nullptr;
    }
    qDebug() << "[INFO] "
             << " delete success!";
}

bool Kelvra_FolderFeed::setParam(void* /*hostArg*/, const QByteArray& param) {
    const ModuleCall call;
    if (!call.moduleOpen()) {
        return true;
    }
    captureDone.store(false, std::memory_order_release);
    paramText = param.toStdString();
    return true;
}

bool Kelvra_FolderFeed::applyParam(void* /*hostArg*/) {
    const ModuleCall call;
    if (!call.moduleOpen()) {
        return false;
    }
    const std::size_t firstComma = paramText.find_first_of(',');
    const std::size_t lastComma = paramText.find_last_of(',');
    if (lastComma == 0 || firstComma == 0 || firstComma == lastComma) {
        return false;
    }
    const std::size_t secondComma = paramText.find(',', firstComma + 1);
    const std::size_t thirdComma = paramText.find(',', secondComma + 1);
    if (thirdComma == std::string::npos) {
        // The message calls the string malformed, so the configuration is
        // refused as a whole rather than half applied and reported as done.
        std::cout << "输入字符串格式错误，找不到第三个逗号。" << std::endl;
        return false;
    }

    cameraName = paramText.substr(0, firstComma);
    paramField2 = paramText.substr(firstComma + 1, secondComma - firstComma - 1);
    paramNumber = std::stoi(paramText.substr(secondComma + 1, thirdComma - secondComma - 1));
    rootFolder = paramText.substr(thirdComma + 1);
    collectSubFolders(rootFolder, subFolders);
    return true;
}

bool Kelvra_FolderFeed::run() {
    const ModuleCall call;
    if (!call.moduleOpen()) {
        return true;
    }
    qDebug() << "[INFO] "
             << " run start" << QString::fromStdString(paramText);

    workerThread->startCapture();
    captureDrain().waitUntilDone(captureDone);
    captureDone.store(false, std::memory_order_relaxed);

    qDebug() << "[INFO] " << runEndMarker << " run end";
    return true;
}

bool Kelvra_FolderFeed::getResult(std::vector<cv::Mat>& images, void* /*hostArg*/) {
    const ModuleCall call;
    if (!call.moduleOpen()) {
        return false;
    }
    if (pendingImages.empty()) {
        return false;
    }
    // Copies of the handles, not of the pixels; appending copies keeps every
    // pending image in place should the caller's list fail to grow.
    images.insert(images.end(), pendingImages.begin(), pendingImages.end());
    pendingImages.clear();
    return true;
}

extern "C" Base* create() {
    qDebug() << "[INFO] "
             << "Kelvra_FolderFeed create success!";
    return new Kelvra_FolderFeed;
}

extern "C" void destory(Base* module) {
    delete module;
    qDebug() << "[INFO] "
             << "Kelvra_FolderFeed  destory success!";
}
