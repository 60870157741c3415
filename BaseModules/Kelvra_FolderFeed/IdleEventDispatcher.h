#pragma once

#include <QAbstractEventDispatcher>

// The worker's event dispatcher. The worker runs no event loop, but Qt makes
// a dispatcher for every thread it starts, and its own needs file
// descriptors (a pipe or an eventfd): in a host that has none left, starting
// the worker would abort the whole process inside Qt. This one needs
// nothing and does nothing.
class IdleEventDispatcher : public QAbstractEventDispatcher {
public:
    IdleEventDispatcher() = default;
    ~IdleEventDispatcher() override;

    bool processEvents(QEventLoop::ProcessEventsFlags flags) override;
    bool hasPendingEvents() override;
    void registerSocketNotifier(QSocketNotifier* notifier) override;
    void unregisterSocketNotifier(QSocketNotifier* notifier) override;
    void registerTimer(int timerId, int interval, Qt::TimerType timerType,
                       QObject* object) override;
    bool unregisterTimer(int timerId) override;
    bool unregisterTimers(QObject* object) override;
    QList<TimerInfo> registeredTimers(QObject* object) const override;
    int remainingTime(int timerId) override;
#if defined(Q_OS_WIN)
    bool registerEventNotifier(QWinEventNotifier* notifier) override;
    void unregisterEventNotifier(QWinEventNotifier* notifier) override;
#endif
    void wakeUp() override;
    void interrupt() override;
    void flush() override;
};
