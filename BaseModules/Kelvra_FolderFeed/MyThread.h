#pragma once

#include <QThread>

// The capture worker. Each start loads one capture from the current folder
// into the module-wide pending images and then ends; it runs no event loop.
class MyThread : public QThread {
    Q_OBJECT

public:
    MyThread() = default;

protected:
    void run() override;
};
