#pragma once

#include <QString>

class QWidget;

enum class MessageIcon { None, Critical, Exclamation, Information, Question };
// OkRipAgain: OK, and beside it "Rip again" (the completion box of a rip with failed tracks).
enum class MessageButtons { Ok, YesNo, OkRipAgain };
enum class MessageResult { Ok, Yes, No, RipAgain };

// Every message box and the folder and file choosers go through this seam, so that the
// program's own logic never opens a window a test would have to hunt for.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A modal box over owner; returns the button pressed.
    virtual MessageResult showMessage(QWidget* owner, const QString& text, const QString& caption,
                                      MessageIcon icon, MessageButtons buttons) = 0;

    // The folder chooser; returns the chosen folder, or an empty text when cancelled.
    virtual QString browseForFolder(QWidget* owner, const QString& title,
                                    const QString& startFolder) = 0;

    // Closes every box still open as if OK (No for a question) were pressed: the session ends
    // and nobody is there to answer. Boxes that answer at once have nothing to close.
    virtual void closeOpenMessages() {}

    // The file chooser for one existing file of the kinds filter names ("Images (*.jpg
    // *.png)"); returns its path, or an empty text when cancelled. A seam that offers no file
    // chooser (the rip's threads never need one) answers as cancelled.
    virtual QString chooseFile(QWidget* owner, const QString& title, const QString& startFolder,
                               const QString& filter) {
        (void)owner, (void)title, (void)startFolder, (void)filter;
        return QString();
    }
};
