#pragma once

// The main window. Its controls are the live state of the program (the drive
// list, the track list, the option controls); its procedures are split over the
// subsystem folders: start-up, shutdown and commands in shell/, drives and disc
// scan in cd/, the player in playback/, ripping in rip/, options in settings/.

#include "common/audiolibrary.h"

#include <QString>
#include <QWidget>

#include <array>
#include <memory>

class DesktopShell;
class Dialogs;
class Flash;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class SkinEngine;
class frmRipp;

// What the composition root hands to the main window.
struct MainWindowServices {
    AudioLibrary bass;
    Dialogs& dialogs;
    DesktopShell& desktop;
    QString appFolder; // the program's folder, without a trailing separator
};

class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(const MainWindowServices& services, QWidget* parent = nullptr);
    ~frmMain() override;

    // ---- start-up and shutdown (shell/) ----
    void Form_Initialize();
    // False when audio output failed so badly that the program must end now.
    bool Form_Load();
    void Form_QueryUnload();
    void LayoutWindow();

    // ---- skin commands (shell/) ----
    void Flash_FSCommand(const QString& command, const QString& args);
    void DragWindow();

    // ---- drives, disc scan, CD-TEXT (cd/) ----
    void cmbCDDrives_Click();
    void ShowDriveInfo();
    void LoadTrackList();
    void LoadTrackListFromCDText(const char* lngTagPtr, int lTrackCount);
    static QString Seconds2HMS(int lngSeconds);
    // The 0-based library track a row of lsTracks stands for (rows carry their track).
    static int TrackOfRow(const QTreeWidgetItem* row);

    // ---- player and transport (playback/) ----
    void PlayTrack(int t);
    void PlayNextTrack(int lCurrentTrackNumber);
    void CDError();
    void cmdButton_Click(int index);
    void lsTracks_DblClick();
    void SliderVolume_Change();
    void SliderVolume_Scroll();
    void SliderBalance_Scroll();
    void SliderPosition_MouseDown();
    void SliderPosition_MouseUp();
    void SliderPosition_Click();
    void FadeOut();
    void tmrPlaybackPosition_Timer();

    // ---- ripping (rip/) ----
    void StopRipping();
    // The extraction paths report whether the track was written completely, so the
    // rip job counts only tracks that really were ripped.
    bool ExtractAudioTrackToWav(int lTrack);
    bool ExtractAudioTrackToWMA(int lTrack, int lngBitrate);
    bool Converter(const QString& sTrack, const QString& sFormat, const QString& sBitrate,
                   const QString& sFile, bool bDeleteWav);
    void LoadWMAEncoderRates();

    // ---- option controls and settings (settings/) ----
    void optExtractMode_Click(int index);
    void cmdBrowseFolder_Click();
    void LoadFileFormat();
    void LoadSettings();
    bool SaveSettings();

    // ---- window hook (shell/) ----
    void StartHook();
    void StopHook();

    // ---- services ----
    BassCore& core() { return m_bass.core; }
    BassCd& cd() { return m_bass.cd; }
    Dialogs& dialogs() { return m_dialogs; }
    const QString& appFolder() const { return m_appFolder; }

    // ---- window-level state shared by the subsystems ----
    int lDrive = 0;
    DWORD lStream = 0;
    bool bRipping = false;
    bool bStopRipping = false;
    bool bSeeking = false;
    int lLastDrive = -1;
    std::array<QString, 8> sWMATagNames;
    QByteArray transferBuffer;    // shared by the extraction paths, released after each
    frmRipp* ripDialog = nullptr; // the open rip dialog, whose bar the timer moves

    // ---- controls: the skin movie and the four panels ----
    Flash* movie = nullptr; // the control named Flash
    QGroupBox* frMain = nullptr;
    QGroupBox* frCDInfo = nullptr;
    QGroupBox* frFileFormat = nullptr;
    QGroupBox* frGeneralOptions = nullptr;

    // frCDInfo (cd/)
    QComboBox* cmbCDDrives = nullptr;
    std::array<QCheckBox*, 15> chkRWFlags{};
    QLabel* lblMaxReadSpeed = nullptr;
    QLabel* lblCacheSize = nullptr;
    std::array<QPushButton*, 9> cmdButton{}; // index 7 does not exist

    // frMain: track list (cd/) and transport controls (playback/)
    QTreeWidget* lsTracks = nullptr;
    QLineEdit* txtCDArtist = nullptr;
    QLineEdit* txtCDAlbum = nullptr;
    QLabel* lblNoTracks = nullptr;
    QSlider* SliderVolume = nullptr;
    QSlider* SliderBalance = nullptr;
    QSlider* SliderPosition = nullptr;
    QLabel* lblVolume = nullptr;
    QLabel* lblBalance = nullptr;
    QLabel* lblTrackPosition = nullptr;
    QTimer* tmrPlaybackPosition = nullptr;

    // frFileFormat and frGeneralOptions (settings/)
    std::array<QRadioButton*, 5> optExtractMode{};
    std::array<QFrame*, 5> frFormatSettings{};
    QComboBox* cmbWMAEncodingBitrate = nullptr;
    QCheckBox* chkWMAFileTags = nullptr;
    QGroupBox* frameOutputTags = nullptr;
    std::array<QLineEdit*, 8> txtWMATags{};
    QRadioButton* optMP3CBR = nullptr;
    QRadioButton* optMP3VBR = nullptr;
    QComboBox* cmbMP3CBitrate = nullptr;
    QComboBox* cmbMP3VBitrate = nullptr;
    QRadioButton* optOGGCBR = nullptr;
    QRadioButton* optOGGVBR = nullptr;
    QComboBox* cmbOGGCBitrate = nullptr;
    QComboBox* cmbOGGVBitrate = nullptr;
    QLineEdit* txtExtractPath = nullptr;
    QPushButton* cmdBrowseFolder = nullptr;

signals:
    // Sync notifications from the library's thread, delivered on the window's thread.
    void playbackEnded(quint32 channel, int track);
    void playbackFailed(quint32 channel);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Each subsystem builds its controls into the panels the window creates.
    void BuildCDInfoPanel();         // cd/
    void BuildTrackListPanel();      // cd/
    void BuildPlaybackControls();    // playback/
    void BuildFileFormatPanel();     // settings/
    void BuildGeneralOptionsPanel(); // settings/
    void ConnectPlaybackSignals();   // playback/
    void FitPanelsToFace();
    void FillDriveList();
    bool ReportDigitalOutputFailure();
    void ShowPanel(QWidget* panel);
    void HidePanels();
    void ToggleDoorLock();
    void OpenOrCloseDoor();
    void PlayCommand();
    void PlayRowAndSelect(int row);
    void NextCommand();
    void PreviousCommand();
    void ExtractCommand();
    void ApplySettingsCommand();
    int SelectedRow() const; // 1-based position of the selected row, 0 when none

    AudioLibrary m_bass;
    Dialogs& m_dialogs;
    DesktopShell& m_desktop;
    QString m_appFolder;
    std::unique_ptr<SkinEngine> m_skin;
    std::unique_ptr<QObject> m_hook; // keeps context-menu input away from the movie

    // ---- cd/ private state ----
    // (disc-scan engineers add their members here)
    void AddTrackRow(int track, int length);
    void ShowTrackListState();
    // True the first time a failure (key) shows up on the disc in the drive.
    bool IsNewScanFailure(const QString& key);
    // A scan is running; its report box may be open while the playback timer ticks.
    bool m_scanning = false;
    // Failures already reported for the disc in lDrive; forgotten when the door opens
    // or another drive is chosen.
    QList<QString> m_reportedScanFailures;

    // ---- playback/ private state ----
    // Called on the library's thread: they only hand the notification to the window's thread.
    static void NextTrackSyncProc(HSYNC handle, DWORD channel, DWORD data, void* user);
    static void CDErrorSyncProc(HSYNC handle, DWORD channel, DWORD data, void* user);
    void PlaybackEnded_Delivered(quint32 channel, int track);
    void PlaybackFailed_Delivered(quint32 channel);
    void ConnectTransportButtons();
    void PlaySelectedRow();
    void ConnectSliders();
    void SliderVolume_Action(int action);
    void SliderBalance_Action(int action);
    void SliderPosition_Action(int action);
    QAtomicInt m_playingTrack{-1}; // the track PlayTrack started last; read by the sync procedures

    // ---- rip/ and settings/ private state ----
    // (rip engineers add their members here)
    QString BrowseForFolder(QWidget* owner, const QString& title);
    class QButtonGroup* m_extractModeGroup = nullptr;      // optExtractMode, ids 0..4
    class QStackedLayout* m_formatSettingsStack = nullptr; // frFormatSettings, one in front
    bool m_positionTickRunning = false;                    // no tick runs inside a tick
};
