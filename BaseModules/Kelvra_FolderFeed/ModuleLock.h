#pragma once

#include <mutex>

// The module-wide state is one for all module objects of the loaded library,
// and the host's contract allows one call at a time. A host with two camera
// objects on two threads breaks it at once (one object's setParam clears the
// flag that the other's run waits for); so every host-facing operation of
// every module object holds one lock, and such calls come one after the
// other instead of hanging or racing. Recursive, so that a host's message
// handler that calls the module from within a log line cannot deadlock it.
//
// At process exit (or when the library is unloaded) the module-wide state is
// destroyed, while other threads of the host may still call in. Before that,
// the lock is taken once more, the captures still loading are waited for,
// and the module is closed: every later operation does nothing.
class ModuleCall {
public:
    ModuleCall();

    ModuleCall(const ModuleCall&) = delete;
    ModuleCall& operator=(const ModuleCall&) = delete;

    // False once the module is closed: the operation must not touch the
    // module-wide state.
    bool moduleOpen() const;

private:
    std::lock_guard<std::recursive_mutex> lock_;
};
