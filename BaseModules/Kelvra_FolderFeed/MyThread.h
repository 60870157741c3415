#pragma once

#include <QThread>

// The capture worker. Each start loads one capture from the current folder
// into the module-wide pending images and then ends; it runs no event loop.
class MyThread : public QThread {
    Q_OBJECT

public:
    MyThread() = default;

    // Starts one capture: on the worker thread, or on the calling thread when
    // no worker thread can be started. Once the process is ending, loads
    // nothing and only sets captureDone, so that the caller's wait ends.
    void startCapture();

    // Gives back the memory that captures keep from one to the next; only
    // when no capture runs and none can start (the module is closed).
    static void releaseCaptureMemory();

protected:
    void run() override;

private:
    // The body of one capture, begun by startCapture. run() calls it on the
    // worker thread; startCapture calls it on the host's thread only when the
    // worker thread cannot be started.
    void loadOneCapture();
};
