#include "common/qtdialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {
QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

MessageResult QtDialogs::showMessage(QWidget* owner, const QString& text, const QString& caption,
                                     MessageIcon icon, MessageButtons buttons) {
    QMessageBox box(ToQtIcon(icon), caption, text, QMessageBox::NoButton, owner);
    QPushButton* ripAgain = nullptr;
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        if (buttons == MessageButtons::OkRipAgain)
            ripAgain = box.addButton(QStringLiteral("&Rip again"), QMessageBox::ActionRole);
    }
    m_open.append(&box);
    const int pressed = box.exec();
    m_open.removeAll(&box);
    if (ripAgain != nullptr && box.clickedButton() == ripAgain)
        return MessageResult::RipAgain;
    if (buttons != MessageButtons::YesNo)
        return MessageResult::Ok;
    return pressed == QMessageBox::Yes ? MessageResult::Yes : MessageResult::No;
}

QString QtDialogs::browseForFolder(QWidget* owner, const QString& title,
                                   const QString& startFolder) {
    return QFileDialog::getExistingDirectory(owner, title, startFolder);
}

void QtDialogs::closeOpenMessages() {
    for (const QPointer<QMessageBox>& box : m_open)
        if (box)
            box->done(box->standardButtons().testFlag(QMessageBox::Ok) ? QMessageBox::Ok
                                                                       : QMessageBox::No);
}

QString QtDialogs::chooseFile(QWidget* owner, const QString& title, const QString& startFolder,
                              const QString& filter) {
    return QFileDialog::getOpenFileName(owner, title, startFolder, filter);
}
