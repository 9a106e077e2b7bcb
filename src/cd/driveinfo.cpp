#include "cd/driveinfo.h"

#include "common/modbass.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QSignalBlocker>

namespace {

// The capability boxes, in index order; 13 and 14 show the door state.
const char* const kRWFlagCaptions[15] = {
    "Drive can read CD-R media",
    "Drive can read CD-RW media",
    "Drive can read CD-R/RW media \"method 2\"",
    "Drive can read DVD-ROM media",
    "Drive can read DVD-R media",
    "Drive can read DVD-RAM media",
    "Drive can read in \"mode 2 form 1\" format",
    "Drive can read in \"mode 2 form 2\" format",
    "Drive can read multi-session discs",
    "Drive can read CD audio",
    "Drive supports \"stream is accurate\"",
    "Drive can be opened / closed",
    "Drive can be locked",
    "Drive is locked",
    "Drive is open",
};

// What a figure the drive cannot tell reads.
const QString kUnknownFigure = QStringLiteral("unknown");

// The read/write flag shown by each of the boxes 0 to 10.
const DWORD kRWFlagBits[11] = {
    BASS_CD_RWFLAG_READCDR,  BASS_CD_RWFLAG_READCDRW,     BASS_CD_RWFLAG_READCDRW2,
    BASS_CD_RWFLAG_READDVD,  BASS_CD_RWFLAG_READDVDR,     BASS_CD_RWFLAG_READDVDRAM,
    BASS_CD_RWFLAG_READM2F1, BASS_CD_RWFLAG_READM2F2,     BASS_CD_RWFLAG_READMULTI,
    BASS_CD_RWFLAG_READCDDA, BASS_CD_RWFLAG_READCDDAFAST,
};

// A capability box only shows what the drive reports: a click, a key or an
// accessibility action on it changes nothing.
class DisplayOnlyCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
};

// 0 unchecked, 2 greyed, anything else checked.
Qt::CheckState CheckStateOf(DWORD value) {
    if (value == 0)
        return Qt::Unchecked;
    return value == 2 ? Qt::PartiallyChecked : Qt::Checked;
}

// Digits grouped by thousands as the locale groups them; 0 shows no digits.
QString GroupedDigits(DWORD value) {
    return value == 0 ? QString() : QLocale().toString(static_cast<qulonglong>(value));
}

QLabel* ValueLabel(QWidget* parent, const QString& objectName, const QString& accessibleName) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setAccessibleName(accessibleName);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

DriveInfo::DriveInfo(const Services& services, QGroupBox* panel, QObject* parent)
    : QObject(parent), m_cd(services.cd) {
    BuildControls(panel);
    m_offset = new DriveOffset(services, panel, this);
}

void DriveInfo::BuildControls(QGroupBox* frCDInfo) {
    auto* panel = static_cast<QVBoxLayout*>(frCDInfo->layout());

    auto* driveRow = new QHBoxLayout;
    auto* driveCaption = new QLabel(QStringLiteral("Select CD Drive :"), frCDInfo);
    cmbCDDrives = new QComboBox(frCDInfo);
    cmbCDDrives->setObjectName(QStringLiteral("cmbCDDrives"));
    cmbCDDrives->setAccessibleName(driveCaption->text());
    cmbCDDrives->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbCDDrives->setMinimumContentsLength(16);
    driveCaption->setBuddy(cmbCDDrives);
    driveRow->addWidget(driveCaption);
    driveRow->addWidget(cmbCDDrives, 1);
    panel->addLayout(driveRow);
    connect(cmbCDDrives, &QComboBox::currentIndexChanged, this, &DriveInfo::cmbCDDrives_Click);

    // One line per read capability; the four door boxes pair up to save height.
    auto* flags = new QGridLayout;
    flags->setSpacing(0);
    for (int i = 0; i < 15; ++i) {
        auto* box = new DisplayOnlyCheckBox(QString::fromLatin1(kRWFlagCaptions[i]), frCDInfo);
        box->setObjectName(QStringLiteral("chkRWFlags_%1").arg(i));
        box->setTristate(true);
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->setFocusPolicy(Qt::NoFocus);
        chkRWFlags[i] = box;
        if (i <= 10)
            flags->addWidget(box, i, 0, 1, 2);
        else
            flags->addWidget(box, 11 + (i - 11) / 2, (i - 11) % 2);
    }
    panel->addLayout(flags);

    // The figures stand in two rows of label and value.
    auto* figures = new QGridLayout;
    lblMaxReadSpeed = ValueLabel(frCDInfo, QStringLiteral("lblMaxReadSpeed"),
                                 QStringLiteral("Maximum read speed"));
    lblCacheSize =
        ValueLabel(frCDInfo, QStringLiteral("lblCacheSize"), QStringLiteral("Drive's cache size"));
    figures->addWidget(new QLabel(QStringLiteral("Maximum read speed"), frCDInfo), 0, 0);
    figures->addWidget(lblMaxReadSpeed, 0, 1);
    figures->addWidget(new QLabel(QStringLiteral("Drive's cache size"), frCDInfo), 1, 0);
    figures->addWidget(lblCacheSize, 1, 1);
    figures->setColumnStretch(1, 1);
    panel->addLayout(figures);
}

void DriveInfo::FillDriveList() {
    ListDrives();
    if (cmbCDDrives->count() > 0)
        cmbCDDrives->setCurrentIndex(0); // raises cmbCDDrives_Click: the first disc scan
}

// The combo box selects its first item by itself; a drive is only chosen once every drive is
// listed.
void DriveInfo::ListDrives() {
    const QSignalBlocker quiet(cmbCDDrives);
    m_listChanges = m_cd.BASS_CD_GetDriveListChanges();
    cmbCDDrives->clear();
    DWORD i = 0;
    for (const char* description; (description = m_cd.BASS_CD_GetDriveDescription(i)); ++i) {
        if (!m_cd.BASS_CD_DriveIsPresent(i))
            continue;
        const QChar letter(65 + static_cast<int>(m_cd.BASS_CD_GetDriveLetter(i)));
        cmbCDDrives->addItem(QString(letter) + ": " + Ptr2Str(description), static_cast<int>(i));
    }
    cmbCDDrives->setCurrentIndex(-1);
    m_driveCount = static_cast<int>(i);
}

void DriveInfo::followDriveList() {
    if (m_cd.BASS_CD_GetDriveListChanges() == m_listChanges)
        return;
    const bool chosen = cmbCDDrives->currentIndex() >= 0;
    ListDrives();
    const int stays = chosen ? cmbCDDrives->findData(lDrive) : -1;
    if (stays >= 0) {
        const QSignalBlocker quiet(cmbCDDrives);
        cmbCDDrives->setCurrentIndex(stays);
    } else if (cmbCDDrives->count() > 0) {
        cmbCDDrives->setCurrentIndex(0); // raises cmbCDDrives_Click: its disc is scanned
    }
}

int DriveInfo::selectedIndex() const {
    return cmbCDDrives->currentIndex();
}

bool DriveInfo::selectDrive(int index) {
    if (index < 0 || index >= cmbCDDrives->count())
        return false;
    cmbCDDrives->setCurrentIndex(index); // a change raises cmbCDDrives_Click
    return true;
}

void DriveInfo::cmbCDDrives_Click() {
    if (cmbCDDrives->currentIndex() < 0)
        return;
    lDrive = cmbCDDrives->currentData().toInt();
    ShowDriveInfo();
    m_offset->showDrive(static_cast<DWORD>(lDrive));
    emit driveChanged();
}

void DriveInfo::ShowDriveInfo() {
    BASS_CD_INFO info{};
    info.size = 28;
    m_cd.BASS_CD_GetInfo(static_cast<DWORD>(lDrive), &info);

    for (int i = 0; i <= 10; ++i)
        chkRWFlags[i]->setCheckState((info.rwflags & kRWFlagBits[i]) ? Qt::Checked : Qt::Unchecked);
    chkRWFlags[11]->setCheckState(CheckStateOf(info.canopen));
    chkRWFlags[12]->setCheckState(CheckStateOf(info.canlock));

    lblMaxReadSpeed->setText(GroupedDigits(info.maxspeed) + QStringLiteral(" Kbps"));
    lblCacheSize->setText(GroupedDigits(info.cache) + QStringLiteral(" KB"));
    BASS_CD_INFO unknown{};
    unknown.size = 28;
    if (m_cd.BASS_CD_GetInfoUnknown(static_cast<DWORD>(lDrive), &unknown))
        ShowUnknown(unknown);
    emit doorCapabilities(info.canopen != 0, info.canlock != 0);
}

// What the drive cannot answer is not shown as a "no".
void DriveInfo::ShowUnknown(const BASS_CD_INFO& unknown) {
    for (int i = 0; i <= 10; ++i)
        if (unknown.rwflags & kRWFlagBits[i])
            chkRWFlags[i]->setCheckState(Qt::PartiallyChecked);
    if (unknown.canopen)
        chkRWFlags[11]->setCheckState(Qt::PartiallyChecked);
    if (unknown.canlock)
        chkRWFlags[12]->setCheckState(Qt::PartiallyChecked);
    if (unknown.maxspeed)
        lblMaxReadSpeed->setText(kUnknownFigure);
    if (unknown.cache)
        lblCacheSize->setText(kUnknownFigure);
}

void DriveInfo::showDoor(bool open, bool locked, bool /*canOpen*/, bool canLock) {
    chkRWFlags[13]->setCheckState(canLock ? (locked ? Qt::Checked : Qt::Unchecked)
                                          : Qt::PartiallyChecked);
    chkRWFlags[14]->setChecked(open);
}
