#include "IdleEventDispatcher.h"

// Qt deletes the dispatcher on the worker thread as the thread ends, in a
// process that may have no file descriptor left. UndefinedBehaviorSanitizer
// checks the object's type there by writing it into a pipe of its own, and
// with no descriptor for the pipe it reports a valid object as invalid; the
// check is left out of this one function.
#if defined(__GNUC__) || defined(__clang__)
__attribute__((no_sanitize("vptr")))
#endif
IdleEventDispatcher::~IdleEventDispatcher() = default;

bool IdleEventDispatcher::processEvents(QEventLoop::ProcessEventsFlags) {
    return false;
}

bool IdleEventDispatcher::hasPendingEvents() {
    return false;
}

void IdleEventDispatcher::registerSocketNotifier(QSocketNotifier*) {}

void IdleEventDispatcher::unregisterSocketNotifier(QSocketNotifier*) {}

void IdleEventDispatcher::registerTimer(int, int, Qt::TimerType, QObject*) {}

bool IdleEventDispatcher::unregisterTimer(int) {
    return false;
}

bool IdleEventDispatcher::unregisterTimers(QObject*) {
    return false;
}

QList<QAbstractEventDispatcher::TimerInfo> IdleEventDispatcher::registeredTimers(QObject*) const {
    return {};
}

int IdleEventDispatcher::remainingTime(int) {
    return -1;
}

#if defined(Q_OS_WIN)
bool IdleEventDispatcher::registerEventNotifier(QWinEventNotifier*) {
    return false;
}

void IdleEventDispatcher::unregisterEventNotifier(QWinEventNotifier*) {}
#endif

void IdleEventDispatcher::wakeUp() {}

void IdleEventDispatcher::interrupt() {}

void IdleEventDispatcher::flush() {}
