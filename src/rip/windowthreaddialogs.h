#pragma once

// The rip's reader and encoders run on threads of their own, but a box belongs to the window's
// thread. This passes every box there and waits for its answer; boxes from several encoders
// come one after the other, never stacked.

#include "common/dialogs.h"

#include <mutex>

class WindowThreadDialogs final : public Dialogs {
public:
    explicit WindowThreadDialogs(Dialogs& dialogs) : m_dialogs(dialogs) {}

    MessageResult showMessage(QWidget* owner, const QString& text, const QString& caption,
                              MessageIcon icon, MessageButtons buttons) override;
    QString browseForFolder(QWidget* owner, const QString& title,
                            const QString& startFolder) override;

private:
    Dialogs& m_dialogs;
    std::mutex m_oneAtATime;
};
