#include "support/recordingdialogs.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>

MessageResult RecordingDialogs::showMessage(QWidget*, const QString& text, const QString& caption,
                                            MessageIcon icon, MessageButtons buttons) {
    messages.push_back(RecordedMessage{text, caption, icon, buttons});
    if (!keepOpen.isEmpty() && caption == keepOpen) {
        QEventLoop open;
        m_open.push_back(&open);
        QTimer::singleShot(30000, &open, &QEventLoop::quit);
        if (whenOpen)
            QTimer::singleShot(0, &open, whenOpen);
        open.exec();
        std::erase(m_open, &open);
        return buttons == MessageButtons::YesNo ? MessageResult::No : MessageResult::Ok;
    }
    if (!answers.empty()) {
        const MessageResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    if (onMessage)
        return onMessage(RecordedMessage(messages.back())); // a box it opens may move the list
    return buttons == MessageButtons::YesNo ? MessageResult::Yes : MessageResult::Ok;
}

QString RecordingDialogs::browseForFolder(QWidget*, const QString&, const QString& startFolder) {
    folderRequests << startFolder;
    return folderAnswer;
}

void RecordingDialogs::closeOpenMessages() {
    for (QEventLoop* open : m_open) {
        ++closed;
        open->quit();
    }
}
