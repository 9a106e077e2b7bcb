#include "rip/windowthreaddialogs.h"

#include <QCoreApplication>
#include <QThread>

namespace {
// Runs call on the window's thread and waits for it; on that thread itself, at once.
template <typename Call> auto OnWindowThread(Call call) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread())
        return call();
    decltype(call()) result{};
    QMetaObject::invokeMethod(
        app, [&] { result = call(); }, Qt::BlockingQueuedConnection);
    return result;
}
} // namespace

MessageResult WindowThreadDialogs::showMessage(QWidget* owner, const QString& text,
                                               const QString& caption, MessageIcon icon,
                                               MessageButtons buttons) {
    const std::lock_guard lock(m_oneAtATime);
    return OnWindowThread(
        [&] { return m_dialogs.showMessage(owner, text, caption, icon, buttons); });
}

QString WindowThreadDialogs::browseForFolder(QWidget* owner, const QString& title,
                                             const QString& startFolder) {
    const std::lock_guard lock(m_oneAtATime);
    return OnWindowThread([&] { return m_dialogs.browseForFolder(owner, title, startFolder); });
}
