#include "support/mainwindowharness.h"

#include <QCoreApplication>

frmMain& MainWindowHarness::create() {
    form = std::make_unique<frmMain>(MainWindowServices{audio.library(), dialogs, desktop,
                                                        QCoreApplication::applicationDirPath()});
    return *form;
}

frmMain& MainWindowHarness::load() {
    create();
    form->Form_Initialize();
    loaded = form->Form_Load();
    return *form;
}

QStringList MainWindowHarness::messageTexts() const {
    QStringList texts;
    for (const RecordedMessage& message : dialogs.messages)
        texts << message.text;
    return texts;
}
