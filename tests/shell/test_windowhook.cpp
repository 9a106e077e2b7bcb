// The hook keeps the context-menu inputs away from the skin movie.
#include "common/flash.h"
#include "support/windowtest.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QQuickWindow>
#include <gtest/gtest.h>

namespace {
// Names what reaches the movie's own scene: "R" and "L" for presses, "r" for a right release,
// "M" for the menu key, "k" for other keys.
class InputLog : public QObject {
public:
    QString seen;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const auto* mouse = dynamic_cast<QMouseEvent*>(event);
        if (event->type() == QEvent::MouseButtonPress)
            seen += mouse->button() == Qt::RightButton ? "R" : "L";
        else if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::RightButton)
            seen += "r";
        else if (event->type() == QEvent::KeyPress)
            seen += static_cast<QKeyEvent*>(event)->key() == Qt::Key_Menu ? "M" : "k";
        return false;
    }
};
} // namespace

TEST(WindowHook, SwallowsOnlyTheRightPressAndTheMenuKeyUntilRemoved) {
    FakeWindow w;
    w.load();
    Flash* movie = &w.find<Flash>("Flash");
    InputLog log;
    movie->quickWindow()->installEventFilter(&log);
    const auto send = [&] {
        for (Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton})
            for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                QMouseEvent event(type, QPointF(5, 5), QPointF(5, 5), button,
                                  type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                                  Qt::NoModifier);
                QCoreApplication::sendEvent(movie, &event);
            }
        for (int key : {Qt::Key_Menu, Qt::Key_A}) {
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(movie, &event);
        }
    };
    send();
    EXPECT_EQ(log.seen, "rLk");
    w.form().StopHook();
    w.form().StopHook(); // a second removal changes nothing
    log.seen.clear();
    send();
    EXPECT_EQ(log.seen, "RrLMk");
    w.form().StartHook();
    log.seen.clear();
    send();
    EXPECT_EQ(log.seen, "rLk");
}
