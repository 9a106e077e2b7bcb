#pragma once

#include "common/dialogs.h"

#include <QList>
#include <QPointer>

class QMessageBox;

// The real message boxes and folder and file choosers.
class QtDialogs : public Dialogs {
public:
    MessageResult showMessage(QWidget* owner, const QString& text, const QString& caption,
                              MessageIcon icon, MessageButtons buttons) override;
    QString browseForFolder(QWidget* owner, const QString& title,
                            const QString& startFolder) override;
    QString chooseFile(QWidget* owner, const QString& title, const QString& startFolder,
                       const QString& filter) override;
    void closeOpenMessages() override;

private:
    QList<QPointer<QMessageBox>> m_open; // innermost last
};
