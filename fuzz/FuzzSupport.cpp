#include "FuzzSupport.h"

#include "ModuleState.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace {

void discardMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

void silenceModuleOutput() {
    qInstallMessageHandler(discardMessage);
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        std::perror("cannot silence stdout");
    }
}

void fuzzFailure(const std::string& what) {
    std::fprintf(stderr, "fuzz failure: %s\n", what.c_str());
    std::abort();
}

void resetModuleState() {
    paramText.clear();
    cameraName.clear();
    paramField2.clear();
    paramNumber = 1;
    rootFolder.clear();
    subFolders.clear();
    subFolders.shrink_to_fit();
    folderIndex = 0;
    pendingImages.clear();
    captureDone = false;
}
