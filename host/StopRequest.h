#pragma once

#include "ExitStatus.h"

// Ctrl-C (SIGINT) and SIGTERM, turned into a request to stop that a long
// command checks between two steps, so that it can finish the step in
// progress and write what it has. While an object lives, the first such
// signal only sets the request; the handler then steps aside, so a second
// one ends the program at once as usual.
class StopRequest {
public:
    StopRequest();
    ~StopRequest();

    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

    bool requested() const;
    // "SIGINT" or "SIGTERM"; valid once requested() is true.
    const char* signalName() const;
    // Interrupted or Terminated, after the signal that came.
    ExitStatus exitStatus() const;
};
