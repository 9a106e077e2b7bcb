#pragma once

// The main window: the skin movie with the four panels over it. It starts and
// shuts the program down, lays the window out, answers the skin's commands and
// keeps context-menu input away from the movie. Everything else belongs to the
// subsystems it creates and wires: the drive list, the track list, the player
// and the output options; a rip runs in a dialog of its own.

#include "common/audiolibrary.h"

#include <QString>
#include <QWidget>

#include <memory>

class DesktopShell;
class Dialogs;
class DiscCover;
class Door;
class DriveInfo;
class Flash;
class frmRipp;
class OutputOptions;
class Player;
class QGroupBox;
class SkinEngine;
class TrackList;

// What the composition root hands to the main window.
struct MainWindowServices {
    AudioLibrary bass;
    Dialogs& dialogs;
    DesktopShell& desktop;
    QString appFolder;        // the program's folder, no trailing separator; the error log
                              // goes beside it
    QString dataFolder;       // Main.qml, Skin.qss, Help.html; the current folder at start
    QString settingsFolder;   // where the settings file is kept
    int ripStartDelay = 1000; // ms the rip dialog shows itself before the job starts
};

class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(const MainWindowServices& services, QWidget* parent = nullptr);
    ~frmMain() override;

    void Form_Initialize();
    // False when audio output failed so badly that the program must end now.
    bool Form_Load();
    void Form_QueryUnload();
    void LayoutWindow();

    void Flash_FSCommand(const QString& command, const QString& args);
    // The session ends: a running rip stops as after Stop, then the window closes.
    void requestQuit();
    void DragWindow();
    void StartHook();
    void StopHook();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FitPanelsToFace();
    void WireCover();
    bool ReportDigitalOutputFailure();
    void ShowPanel(QWidget* panel);
    void HidePanels();
    void ExtractCommand();
    void ApplySettingsCommand();

    AudioLibrary m_bass;
    Dialogs& m_dialogs;
    DesktopShell& m_desktop;
    QString m_appFolder;
    QString m_dataFolder;
    int m_ripStartDelay;
    std::unique_ptr<SkinEngine> m_skin;
    std::unique_ptr<QObject> m_hook; // keeps context-menu input away from the movie

    Flash* m_movie = nullptr;
    QGroupBox* m_frMain = nullptr;
    QGroupBox* m_frCDInfo = nullptr;
    QGroupBox* m_frFileFormat = nullptr;
    QGroupBox* m_frGeneralOptions = nullptr;

    DriveInfo* m_drives = nullptr;
    Door* m_door = nullptr;
    TrackList* m_tracks = nullptr;
    DiscCover* m_cover = nullptr;
    Player* m_player = nullptr;
    OutputOptions* m_options = nullptr;
    frmRipp* m_ripDialog = nullptr; // while a rip runs
    bool m_quitAfterRip = false;
};
