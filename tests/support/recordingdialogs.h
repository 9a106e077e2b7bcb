#pragma once

#include "common/desktopshell.h"
#include "common/dialogs.h"

#include <QStringList>

class QEventLoop;

#include <deque>
#include <functional>
#include <vector>

struct RecordedMessage {
    QString text;
    QString caption;
    MessageIcon icon;
    MessageButtons buttons;
};

// Records every box and answers it at once: from the queue of scripted answers,
// else through onMessage, else OK (Yes for a question).
class RecordingDialogs : public Dialogs {
public:
    MessageResult showMessage(QWidget* owner, const QString& text, const QString& caption,
                              MessageIcon icon, MessageButtons buttons) override;
    QString browseForFolder(QWidget* owner, const QString& title,
                            const QString& startFolder) override;
    void closeOpenMessages() override;
    QString chooseFile(QWidget*, const QString&, const QString&, const QString&) override {
        return fileAnswer;
    }

    std::vector<RecordedMessage> messages;
    std::deque<MessageResult> answers;
    std::function<MessageResult(const RecordedMessage&)> onMessage;
    // A box with this caption stays open, the window's events running, until
    // closeOpenMessages() (or half a minute: a guard against a hang); whenOpen runs meanwhile.
    QString keepOpen;
    std::function<void()> whenOpen;
    int closed = 0; // boxes closed by closeOpenMessages()

    QString folderAnswer;       // empty: the chooser was cancelled
    QStringList folderRequests; // the start folder of every request
    QString fileAnswer;         // empty: the file chooser was cancelled

private:
    std::vector<QEventLoop*> m_open;
};

class RecordingDesktop : public DesktopShell {
public:
    void openDocument(const QString& path) override { opened << path; }
    QStringList opened;
};
