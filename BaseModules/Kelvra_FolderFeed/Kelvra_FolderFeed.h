#pragma once

#include "Base.h"

class MyThread;

// The folder camera: replays a recorded folder tree as if it were a camera.
// All of its working state is module-wide (ModuleState.h), shared by every
// module object of the loaded library.
class Kelvra_FolderFeed : public Base {
public:
    Kelvra_FolderFeed();
    ~Kelvra_FolderFeed() override;

    Kelvra_FolderFeed(const Kelvra_FolderFeed&) = delete;
    Kelvra_FolderFeed& operator=(const Kelvra_FolderFeed&) = delete;

    bool getResult(std::vector<cv::Mat>& images, void* hostArg) override;
    bool setParam(void* hostArg, const QByteArray& param) override;
    bool applyParam(void* hostArg) override;
    bool run() override;

private:
    // A plain owning pointer, as the host interface's design prescribes: the
    // object creates its worker in the constructor and, once the thread has
    // finished, deletes it in the destructor.
    MyThread* workerThread = nullptr;
};

// The library's only exports. On Windows the module-definition file gives
// them their names and ordinals; elsewhere they are the only symbols left
// visible.
#if defined(_WIN32)
#define KELVRA_FOLDERFEED_EXPORT
#else
#define KELVRA_FOLDERFEED_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
KELVRA_FOLDERFEED_EXPORT Base* create();
KELVRA_FOLDERFEED_EXPORT void destory(Base* module);
}
