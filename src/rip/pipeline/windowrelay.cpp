#include "rip/pipeline/windowrelay.h"

#include "common/threadhandoff.h"

#include <QCoreApplication>
#include <QEvent>

namespace {
const QEvent::Type kCallEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class CallEvent : public QEvent {
public:
    explicit CallEvent(std::function<void()> call) : QEvent(kCallEvent), call(std::move(call)) {}
    std::function<void()> call;
};
} // namespace

// The event is made whole before it is handed over: Qt's queue only carries the pointer.
void WindowRelay::post(std::function<void()> call) {
    auto* event = new CallEvent(std::move(call));
    HandedOver(event);
    QCoreApplication::postEvent(this, event);
}

bool WindowRelay::event(QEvent* event) {
    TakenOver(event); // before the event is read at all
    if (event->type() != kCallEvent)
        return QObject::event(event);
    static_cast<CallEvent*>(event)->call();
    return true;
}
