#include "StopRequest.h"

#include <csignal>

namespace {

// The only state a signal handler may touch. The handler runs on whichever
// thread the signal lands on, the module's worker included; a
// volatile sig_atomic_t is what both the C and the Windows runtime allow.
volatile std::sig_atomic_t stopSignal = 0;

extern "C" void requestStop(int signalNumber) {
    stopSignal = signalNumber;
    // The default again: a second Ctrl-C ends the program on the spot.
    std::signal(signalNumber, SIG_DFL);
}

using Handler = void (*)(int);
Handler previousInt = SIG_DFL;
Handler previousTerm = SIG_DFL;

} // namespace

StopRequest::StopRequest() {
    stopSignal = 0;
    previousInt = std::signal(SIGINT, requestStop);
    previousTerm = std::signal(SIGTERM, requestStop);
}

StopRequest::~StopRequest() {
    std::signal(SIGINT, previousInt == SIG_ERR ? SIG_DFL : previousInt);
    std::signal(SIGTERM, previousTerm == SIG_ERR ? SIG_DFL : previousTerm);
}

bool StopRequest::requested() const {
    return stopSignal != 0;
}

const char* StopRequest::signalName() const {
    return stopSignal == SIGTERM ? "SIGTERM" : "SIGINT";
}

ExitStatus StopRequest::exitStatus() const {
    return stopSignal == SIGTERM ? ExitStatus::Terminated : ExitStatus::Interrupted;
}
