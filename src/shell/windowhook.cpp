#include "shell/frmmain.h"

#include "common/flash.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

namespace {
// Keeps the two inputs that call up a context menu (the right button press and
// the context-menu key) away from the skin movie; everything else passes.
class ContextMenuFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
        case QEvent::KeyPress:
            return static_cast<QKeyEvent*>(event)->key() == Qt::Key_Menu;
        case QEvent::ContextMenu:
            return true;
        default:
            return QObject::eventFilter(watched, event);
        }
    }
};
} // namespace

void frmMain::StartHook() {
    if (m_hook)
        return; // installing twice would filter twice; once is enough
    m_hook = std::make_unique<ContextMenuFilter>();
    m_movie->installEventFilter(m_hook.get());
}

void frmMain::StopHook() {
    if (!m_hook)
        return;
    m_movie->removeEventFilter(m_hook.get());
    m_hook.reset();
}

// The window moves with the mouse as if its title bar had been pressed.
void frmMain::DragWindow() {
    if (QWindow* handle = window()->windowHandle())
        handle->startSystemMove();
}
