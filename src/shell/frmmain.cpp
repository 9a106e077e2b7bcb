#include "shell/frmmain.h"

#include "cd/disccover.h"
#include "cd/door.h"
#include "cd/driveinfo.h"
#include "cd/releasechooser.h"
#include "cd/tracklist.h"
#include "common/dialogs.h"
#include "common/flash.h"
#include "common/product.h"
#include "platform/skin/skinengine.h"
#include "playback/player.h"
#include "settings/outputoptions.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QVBoxLayout>

namespace {
// The main window is a window to a screen reader too; a plain top-level widget would be
// announced as a filler.
QAccessibleInterface* MainWindowAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("frmMain"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

QGroupBox* MakePanel(QWidget* parent, const QString& objectName, const QString& caption) {
    auto* panel = new QGroupBox(caption, parent);
    panel->setObjectName(objectName);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(4);
    return panel;
}
} // namespace

frmMain::frmMain(const MainWindowServices& services, QWidget* parent)
    : QWidget(parent), m_bass(services.bass), m_dialogs(services.dialogs),
      m_desktop(services.desktop), m_appFolder(services.appFolder),
      m_dataFolder(services.dataFolder), m_ripStartDelay(services.ripStartDelay) {
    setObjectName(QStringLiteral("frmMain"));
    static const bool accessibleAsWindow =
        (QAccessible::installFactory(MainWindowAccessible), true);
    (void)accessibleAsWindow;
    setWindowTitle(kProductName);
    setWindowFlag(Qt::FramelessWindowHint);

    m_movie = new Flash(this);
    m_movie->setObjectName(QStringLiteral("Flash"));
    m_movie->setAccessibleName(QStringLiteral("Mivo skin"));
    // A command runs after the click or the screen reader's press that sent it has returned:
    // one that opens a modal window (the rip, a message) would otherwise hold that press until
    // the window closes.
    connect(m_movie, &Flash::FSCommand, this, &frmMain::Flash_FSCommand, Qt::QueuedConnection);

    m_frMain = MakePanel(this, QStringLiteral("frMain"), QString());
    m_frCDInfo = MakePanel(this, QStringLiteral("frCDInfo"), QStringLiteral("CD Drive"));
    m_frFileFormat =
        MakePanel(this, QStringLiteral("frFileFormat"), QStringLiteral("Grapping Format"));
    m_frGeneralOptions =
        MakePanel(this, QStringLiteral("frGeneralOptions"), QStringLiteral("General Options"));

    // Each subsystem builds its controls into the panels it is handed.
    m_drives = new DriveInfo({m_bass.core, m_bass.cd, m_dialogs, services.settingsFolder},
                             m_frCDInfo, this);
    m_tracks =
        new TrackList({m_bass.core, m_bass.cd, m_dialogs, *m_movie}, *m_drives, m_frMain, this);
    m_cover = new DiscCover({m_dialogs, *m_movie}, m_frMain, this); // below the disc's titles
    m_door = new Door(m_bass.cd, *m_movie, *m_drives, this);
    m_player = new Player({m_bass.core, m_bass.cd, m_dialogs, *this, *m_movie}, *m_drives, *m_door,
                          *m_tracks, {m_frMain, m_frCDInfo}, this);
    m_options = new OutputOptions({m_dialogs, m_bass.core, m_bass.wma, services.settingsFolder},
                                  {m_frFileFormat, m_frGeneralOptions}, this);
    // The saved drive choice goes through the drive list, which knows which drives exist.
    m_options->setDriveIndexSource([this] { return m_drives->selectedIndex(); });
    connect(m_options, &OutputOptions::driveIndexLoaded, m_drives, &DriveInfo::selectDrive);
    // Asked once a scan is done, so the saved choice holds for the disc found at start-up.
    m_tracks->setLookUpOnline([this] { return m_options->lookUpOnline(); });
    WireCover();
    // Opening or closing the door stops what plays from the disc, then reads the drive and
    // its disc again, whichever button moved it.
    connect(m_door, &Door::aboutToMove, m_player, &Player::stop);
    connect(m_door, &Door::moved, m_tracks, [this] {
        m_drives->ShowDriveInfo();
        m_tracks->LoadTrackList();
    });
    connect(m_door, &Door::shown, m_drives, &DriveInfo::showDoor);
    connect(m_drives, &DriveInfo::driveChanged, m_tracks, [this] {
        m_tracks->forgetReports(); // another drive: its disc has not been reported yet
        m_tracks->LoadTrackList();
    });

    // The option panels keep their controls at the top; the track list takes the room.
    for (QGroupBox* panel : {m_frCDInfo, m_frFileFormat, m_frGeneralOptions})
        static_cast<QVBoxLayout*>(panel->layout())->addStretch(1);
    for (QGroupBox* panel : {m_frMain, m_frCDInfo, m_frFileFormat, m_frGeneralOptions})
        panel->adjustSize();
}

frmMain::~frmMain() = default;

// The cover follows the disc the list shows and the release settled on; the release chooser
// shows the archive's thumbnails while "Cover art" is on.
void frmMain::WireCover() {
    connect(m_tracks, &TrackList::discListed, m_cover, &DiscCover::discListed);
    connect(m_tracks, &TrackList::releaseSettled, m_cover, &DiscCover::releaseSettled);
    connect(m_movie, &Flash::fileDropped, m_cover, &DiscCover::useFile);
    connect(m_options, &OutputOptions::coverArtChanged, m_cover, &DiscCover::setEnabled);
    m_tracks->setReleaseChoice([this](QWidget* owner, const QList<ReleaseInfo>& releases) {
        return ReleaseChooser::Choose(owner, releases, m_options->choice().coverArt);
    });
}

void frmMain::Form_Initialize() {
    // A style sheet has a single way of drawing: the engine needs no mode set up.
    m_skin = std::make_unique<SkinEngine>();
}

bool frmMain::Form_Load() {
    QDir::setCurrent(m_dataFolder);                                           // 1
    m_options->LoadFileFormat();                                              // 2
    LayoutWindow();                                                           // 3
    if (!m_bass.core.BASS_Init(1, 44100, 0, reinterpret_cast<void*>(winId()), // 4
                               nullptr)) {
        if (!ReportDigitalOutputFailure()) // 5
            return false;
    }
    m_drives->FillDriveList();        // 6 to 8
    m_options->LoadWMAEncoderRates(); // 9
    m_player->showOutputVolume();     // 11 (10: the WMA extraction names its own tags)
    // 12, 13: the sliders show no value tips here, and the plain track list box
    // with its tab stops has no counterpart in this window.
    m_options->LoadSettings(); // 14
    StartHook();               // 15
    m_player->startPositionTimer();
    return true;
}

// Shows the "Digital output" box for the failed initialisation; true when the
// program can go on (no usable device, or already initialised).
bool frmMain::ReportDigitalOutputFailure() {
    const int code = m_bass.core.BASS_ErrorGetCode();
    const QString crlf = QStringLiteral("\r\n");
    const QString l1 = QStringLiteral(
        "Error: Couldn't Initialize Digital Output, The program will not work correclty.");
    const QString l2 = QStringLiteral("The sound device may not be installed correclty.");
    QString name;
    switch (code) {
    case BASS_ERROR_MEM:
        name = QStringLiteral("BASS_ERROR_MEM");
        break;
    case BASS_ERROR_DRIVER:
        name = QStringLiteral("BASS_ERROR_DRIVER");
        break;
    case BASS_ERROR_FORMAT:
        name = QStringLiteral("BASS_ERROR_FORMAT");
        break;
    case BASS_ERROR_ALREADY:
        name = QStringLiteral("BASS_ERROR_ALREADY");
        break;
    case BASS_ERROR_NO3D:
        name = QStringLiteral("BASS_ERROR_NO3D");
        break;
    case BASS_ERROR_DEVICE:
        name = QStringLiteral("BASS_ERROR_DEVICE");
        break;
    case BASS_ERROR_UNKNOWN:
        name = QStringLiteral("BASS_ERROR_UNKNOWN");
        break;
    default:
        name = QStringLiteral("BASS_ERROR_UNKNOWN2");
        break;
    }
    const QString text = code == BASS_ERROR_ALREADY
                             ? QStringLiteral("Error: Couldn't Initialize Digital Output.") + crlf +
                                   "Error Code:" + name
                             : l1 + crlf + l2 + crlf + "Error Code:" + name;
    m_dialogs.showMessage(this, text, QStringLiteral("Digital output"), MessageIcon::Critical,
                          MessageButtons::Ok);
    return code == BASS_ERROR_ALREADY || code == BASS_ERROR_DEVICE;
}

void frmMain::Form_QueryUnload() {
    m_door->unlockEveryDrive(m_drives->driveCount());
    m_bass.core.BASS_Stop();
    m_bass.core.BASS_Free();
    StopHook();
    m_player->stopPositionTimer();
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}
