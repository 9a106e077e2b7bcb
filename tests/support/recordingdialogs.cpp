#include "support/recordingdialogs.h"

MessageResult RecordingDialogs::showMessage(QWidget*, const QString& text, const QString& caption,
                                            MessageIcon icon, MessageButtons buttons) {
    messages.push_back(RecordedMessage{text, caption, icon, buttons});
    if (!answers.empty()) {
        const MessageResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    if (onMessage)
        return onMessage(messages.back());
    return buttons == MessageButtons::YesNo ? MessageResult::Yes : MessageResult::Ok;
}

QString RecordingDialogs::browseForFolder(QWidget*, const QString&, const QString& startFolder) {
    folderRequests << startFolder;
    return folderAnswer;
}
