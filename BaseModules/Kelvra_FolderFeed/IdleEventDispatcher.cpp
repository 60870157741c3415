#include "IdleEventDispatcher.h"

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
