#include "shell/frmmain.h"

#include "common/dialogs.h"
#include "common/flash.h"
#include "common/modbass.h"
#include "common/product.h"
#include "platform/skin/skinengine.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const char* const kWMATagNames = "Title,Author,WM/AlbumTitle,Description,Rating,Copyright,"
                                 "WM/Genre,WM/Year";

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
      m_desktop(services.desktop), m_appFolder(services.appFolder) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kProductName);
    setWindowFlag(Qt::FramelessWindowHint);

    movie = new Flash(this);
    movie->setObjectName(QStringLiteral("Flash"));
    movie->setAccessibleName(QStringLiteral("Mivo skin"));
    connect(movie, &Flash::FSCommand, this, &frmMain::Flash_FSCommand);

    frMain = MakePanel(this, QStringLiteral("frMain"), QString());
    frCDInfo = MakePanel(this, QStringLiteral("frCDInfo"), QStringLiteral("CD Drive"));
    frFileFormat =
        MakePanel(this, QStringLiteral("frFileFormat"), QStringLiteral("Grapping Format"));
    frGeneralOptions =
        MakePanel(this, QStringLiteral("frGeneralOptions"), QStringLiteral("General Options"));

    BuildCDInfoPanel();
    BuildTrackListPanel();
    BuildPlaybackControls();
    BuildFileFormatPanel();
    BuildGeneralOptionsPanel();
    // The option panels keep their controls at the top; the track list takes the room.
    for (QGroupBox* panel : {frCDInfo, frFileFormat, frGeneralOptions})
        static_cast<QVBoxLayout*>(panel->layout())->addStretch(1);
    for (QGroupBox* panel : {frMain, frCDInfo, frFileFormat, frGeneralOptions})
        panel->adjustSize();

    tmrPlaybackPosition = new QTimer(this);
    tmrPlaybackPosition->setInterval(50);
    connect(tmrPlaybackPosition, &QTimer::timeout, this, &frmMain::tmrPlaybackPosition_Timer);
    ConnectPlaybackSignals();
}

frmMain::~frmMain() = default;

void frmMain::Form_Initialize() {
    m_skin = std::make_unique<SkinEngine>();
    m_skin->initialize(2);
    m_skin->setDrawingMode(1);
}

bool frmMain::Form_Load() {
    QDir::setCurrent(m_appFolder);                                            // 1
    LoadFileFormat();                                                         // 2
    LayoutWindow();                                                           // 3
    if (!m_bass.core.BASS_Init(1, 44100, 0, reinterpret_cast<void*>(winId()), // 4
                               nullptr)) {
        if (!ReportDigitalOutputFailure()) // 5
            return false;
    }
    FillDriveList();                                                           // 6 to 8
    LoadWMAEncoderRates();                                                     // 9
    const QStringList tagNames = QString::fromLatin1(kWMATagNames).split(','); // 10
    for (int i = 0; i < 8; ++i)
        sWMATagNames[i] = tagNames.value(i);
    SliderVolume->setValue(-m_bass.core.BASS_GetVolume()); // 11
    // 12, 13: the sliders show no value tips here, and the plain track list box
    // with its tab stops has no counterpart in this window.
    LoadSettings(); // 14
    StartHook();    // 15
    tmrPlaybackPosition->start();
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

void frmMain::FillDriveList() {
    DWORD i = 0;
    {
        // The combo box selects its first item by itself; the drive selection must only
        // happen once every drive is listed.
        const QSignalBlocker quiet(cmbCDDrives);
        for (const char* description; (description = m_bass.cd.BASS_CD_GetDriveDescription(i));
             ++i) {
            const QChar letter(65 + static_cast<int>(m_bass.cd.BASS_CD_GetDriveLetter(i)));
            cmbCDDrives->addItem(QString(letter) + ": " + Ptr2Str(description),
                                 static_cast<int>(i));
        }
        cmbCDDrives->setCurrentIndex(-1);
    }
    if (cmbCDDrives->count() > 0)
        cmbCDDrives->setCurrentIndex(0); // raises cmbCDDrives_Click: the first disc scan
    lLastDrive = static_cast<int>(i) - 1;
}

void frmMain::Form_QueryUnload() {
    for (int drive = 0; drive <= lLastDrive; ++drive)
        m_bass.cd.BASS_CD_Door(static_cast<DWORD>(drive), BASS_CD_DOOR_UNLOCK);
    m_bass.core.BASS_Stop();
    m_bass.core.BASS_Free();
    StopHook();
    tmrPlaybackPosition->stop();
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}
