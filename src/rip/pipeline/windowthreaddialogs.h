#pragma once

// The rip's reader and encoders run on threads of their own, but a box belongs to the window's
// thread. This passes their boxes there, one after the other (never stacked), and the caller
// waits for the answer. A call on the window's thread opens its box at once.
//
// Threads: showMessage and browseForFolder on any thread; the rest on the window's thread.

#include "common/dialogs.h"
#include "rip/pipeline/windowrelay.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class WindowThreadDialogs final : public Dialogs {
public:
    explicit WindowThreadDialogs(Dialogs& dialogs) : m_dialogs(dialogs) {}

    MessageResult showMessage(QWidget* owner, const QString& text, const QString& caption,
                              MessageIcon icon, MessageButtons buttons) override;
    QString browseForFolder(QWidget* owner, const QString& title,
                            const QString& startFolder) override;
    void closeOpenMessages() override { m_dialogs.closeOpenMessages(); }

    // Boxes of the other threads wait until release(): the Stop question is open.
    void hold();
    void release();
    // From now on every box is answered at once as if OK were pressed, and the open ones
    // close: the session ends.
    void dismiss();

private:
    struct Request {
        std::function<void(bool dismissed)> show; // sets the answer
        bool answered = false;
    };
    // Waits on the calling thread until the window's thread has shown the box.
    void showFromOtherThread(std::function<void(bool dismissed)> show);
    void serve();
    void answer(Request& request, bool dismissed);

    Dialogs& m_dialogs;
    std::mutex m_mutex; // guards the requests' answers
    std::condition_variable m_answered;
    std::deque<std::shared_ptr<Request>> m_waiting; // window's thread only
    bool m_held = false;
    bool m_showing = false;
    std::atomic<bool> m_dismissed{false};
    WindowRelay m_relay; // last: calls still queued go first
};
