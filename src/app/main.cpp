// The program: builds the real components and hands them to the main window.

#include "app/datafolder.h"
#include "common/qtdialogs.h"
#include "platform/audio/createaudiolibrary.h"
#include "platform/desktop/qtdesktopshell.h"
#include "platform/desktop/terminationwatcher.h"
#include "settings/cregister.h"
#include "shell/frmmain.h"

#include <QApplication>
#include <QQuickWindow>

int main(int argc, char* argv[]) {
    // The skin is a small 2D face; the software renderer draws it everywhere,
    // also on displays without OpenGL.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mivo CD Player"));
    QApplication::setOrganizationName(QStringLiteral("Mivo"));
    // Desktops find the menu entry, and so the icon, of the running window by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(MIVO_APP_ID));

    const QString appFolder = QCoreApplication::applicationDirPath();
    const QString dataFolder = DataFolder(appFolder);
    const std::unique_ptr<AudioLibraryInstance> audio =
        CreateAudioLibrary({.program = appFolder.toStdString(), .data = dataFolder.toStdString()});
    QtDialogs dialogs;
    QtDesktopShell desktop;

    frmMain window(MainWindowServices{.bass = audio->library(),
                                      .dialogs = dialogs,
                                      .desktop = desktop,
                                      .appFolder = appFolder,
                                      .dataFolder = dataFolder,
                                      .settingsFolder = DefaultRegistryFolder()});
    window.Form_Initialize();
    if (!window.Form_Load())
        return 1; // audio output failed beyond use; the box has told the user
    TerminationWatcher session;
    QObject::connect(&session, &TerminationWatcher::terminationRequested, &window,
                     &frmMain::requestQuit);
    window.show();
    return QApplication::exec();
}
