#include "rip/pipeline/windowthreaddialogs.h"

#include <QCoreApplication>
#include <QThread>

namespace {
bool OnWindowThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app == nullptr || QThread::currentThread() == app->thread();
}

MessageResult Unanswered(MessageButtons buttons) {
    return buttons == MessageButtons::YesNo ? MessageResult::No : MessageResult::Ok;
}
} // namespace

MessageResult WindowThreadDialogs::showMessage(QWidget* owner, const QString& text,
                                               const QString& caption, MessageIcon icon,
                                               MessageButtons buttons) {
    if (m_dismissed)
        return Unanswered(buttons);
    if (OnWindowThread())
        return m_dialogs.showMessage(owner, text, caption, icon, buttons);
    MessageResult result = Unanswered(buttons);
    showFromOtherThread([&, text, caption](bool dismissed) {
        if (!dismissed)
            result = m_dialogs.showMessage(owner, text, caption, icon, buttons);
    });
    return result;
}

QString WindowThreadDialogs::browseForFolder(QWidget* owner, const QString& title,
                                             const QString& startFolder) {
    if (m_dismissed)
        return {};
    if (OnWindowThread())
        return m_dialogs.browseForFolder(owner, title, startFolder);
    QString folder;
    showFromOtherThread([&, title, startFolder](bool dismissed) {
        if (!dismissed)
            folder = m_dialogs.browseForFolder(owner, title, startFolder);
    });
    return folder;
}

void WindowThreadDialogs::showFromOtherThread(std::function<void(bool dismissed)> show) {
    auto request = std::make_shared<Request>(Request{std::move(show)});
    m_relay.post([this, request] {
        m_waiting.push_back(request);
        serve();
    });
    std::unique_lock lock(m_mutex);
    m_answered.wait(lock, [&] { return request->answered; });
}

// The waiting boxes one after the other; a box asked for while one is open waits for it.
void WindowThreadDialogs::serve() {
    if (m_showing)
        return;
    while (!m_waiting.empty() && (!m_held || m_dismissed)) {
        const std::shared_ptr<Request> request = m_waiting.front();
        m_waiting.pop_front();
        m_showing = true;
        answer(*request, m_dismissed);
        m_showing = false;
    }
}

void WindowThreadDialogs::answer(Request& request, bool dismissed) {
    request.show(dismissed);
    {
        const std::lock_guard lock(m_mutex);
        request.answered = true;
    }
    m_answered.notify_all();
}

void WindowThreadDialogs::hold() {
    m_held = true;
}

void WindowThreadDialogs::release() {
    m_held = false;
    m_relay.post([this] { serve(); });
}

void WindowThreadDialogs::dismiss() {
    m_dismissed = true;
    m_dialogs.closeOpenMessages();
    m_relay.post([this] { serve(); });
}
