#pragma once

// Runs calls of the rip's threads on the window's thread, in the order they were posted. Calls
// still waiting when the relay goes are dropped with it, so none outlives what it points at.
//
// Threads: post from any thread; the relay itself lives on the window's thread.

#include <QObject>

#include <functional>

class WindowRelay : public QObject {
public:
    using QObject::QObject;
    void post(std::function<void()> call);

protected:
    bool event(QEvent* event) override;
};
