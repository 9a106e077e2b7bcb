// The hook keeps the context-menu inputs away from the skin movie.
#include "common/flash.h"
#include "support/windowtest.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QQuickWindow>
#include <gtest/gtest.h>

namespace {
// Counts what reaches the movie's own scene.
class InputCounter : public QObject {
public:
    int rightPresses = 0, rightReleases = 0, leftPresses = 0, menuKeys = 0, otherKeys = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            (mouse->button() == Qt::RightButton ? rightPresses : leftPresses)++;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            rightReleases += static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
        } else if (event->type() == QEvent::KeyPress) {
            (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Menu ? menuKeys : otherKeys)++;
        }
        return false;
    }
};

void Press(QWidget* target, Qt::MouseButton button, QEvent::Type type) {
    QMouseEvent event(type, QPointF(5, 5), QPointF(5, 5), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

void Key(QWidget* target, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}
} // namespace

TEST(WindowHook, SwallowsOnlyTheRightPressAndTheMenuKeyUntilRemoved) {
    FakeWindow w;
    w.load();
    frmMain& form = w.form();
    Flash* movie = &w.find<Flash>("Flash");
    InputCounter counter;
    movie->quickWindow()->installEventFilter(&counter);

    Press(movie, Qt::RightButton, QEvent::MouseButtonPress);
    Press(movie, Qt::RightButton, QEvent::MouseButtonRelease);
    Press(movie, Qt::LeftButton, QEvent::MouseButtonPress);
    Press(movie, Qt::LeftButton, QEvent::MouseButtonRelease);
    Key(movie, Qt::Key_Menu);
    Key(movie, Qt::Key_A);
    EXPECT_EQ(counter.rightPresses, 0);
    EXPECT_EQ(counter.rightReleases, 1);
    EXPECT_EQ(counter.leftPresses, 1);
    EXPECT_EQ(counter.menuKeys, 0);
    EXPECT_EQ(counter.otherKeys, 1);

    form.StopHook();
    Press(movie, Qt::RightButton, QEvent::MouseButtonPress);
    Key(movie, Qt::Key_Menu);
    EXPECT_EQ(counter.rightPresses, 1);
    EXPECT_EQ(counter.menuKeys, 1);

    form.StopHook(); // a second removal changes nothing
    form.StartHook();
    Press(movie, Qt::RightButton, QEvent::MouseButtonPress);
    EXPECT_EQ(counter.rightPresses, 1);
}
