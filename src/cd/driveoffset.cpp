#include "cd/driveoffset.h"

#include "common/dialogs.h"
#include "settings/settingvalues.h"
#include "verify/offsetfinder.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include <cstdlib>
#include <optional>

namespace {

// One value per drive, named by the drive's vendor and model as the library describes it.
const QString kSection = QStringLiteral("Software\\Vantrope\\Read Offsets");
const QString kCaption = QStringLiteral("Find offset");

} // namespace

DriveOffset::DriveOffset(const Services& services, QGroupBox* panel, QObject* parent)
    : QObject(parent), m_cd(services.cd), m_dialogs(services.dialogs),
      m_register(services.settingsFolder), m_finder(new OffsetFinder(services.core, m_cd, this)) {
    BuildControls(panel);
    connect(m_finder, &OffsetFinder::finished, this, &DriveOffset::offsetFound);
}

void DriveOffset::BuildControls(QGroupBox* frCDInfo) {
    auto* row = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("Read offset"), frCDInfo);
    spnReadOffset = new QSpinBox(frCDInfo);
    spnReadOffset->setObjectName(QStringLiteral("spnReadOffset"));
    spnReadOffset->setAccessibleName(caption->text());
    spnReadOffset->setAccessibleDescription(
        QStringLiteral("In samples; positive when the drive delivers the audio early"));
    spnReadOffset->setRange(-kMostReadOffset, kMostReadOffset);
    spnReadOffset->setSuffix(QStringLiteral(" samples"));
    spnReadOffset->setKeyboardTracking(false); // a typed number counts once it is complete
    caption->setBuddy(spnReadOffset);
    cmdFindOffset = new QPushButton(kCaption, frCDInfo);
    cmdFindOffset->setObjectName(QStringLiteral("cmdFindOffset"));
    row->addWidget(caption);
    row->addWidget(spnReadOffset, 1);
    row->addWidget(cmdFindOffset);
    static_cast<QVBoxLayout*>(frCDInfo->layout())->addLayout(row);
    connect(spnReadOffset, &QSpinBox::valueChanged, this, &DriveOffset::spnReadOffset_Change);
    connect(cmdFindOffset, &QPushButton::clicked, this, &DriveOffset::cmdFindOffset_Click);
}

QString DriveOffset::driveName(DWORD drive) {
    const char* description = m_cd.BASS_CD_GetDriveDescription(drive);
    return description ? QString::fromUtf8(description).trimmed() : QString();
}

bool DriveOffset::isDiscImage(DWORD drive) {
    return driveName(drive).startsWith(QLatin1String(kVirtualDrivePrefix));
}

void DriveOffset::showDrive(DWORD drive) {
    m_drive = drive;
    const bool image = isDiscImage(drive);
    const std::optional<int> saved =
        ParseInteger(m_register.REGGetSetting(HKEY_LOCAL_MACHINE, kSection, driveName(drive), {}));
    const int samples = !image && saved && std::abs(*saved) <= kMostReadOffset ? *saved : 0;
    {
        const QSignalBlocker quiet(spnReadOffset);
        spnReadOffset->setValue(samples);
    }
    enableControls();
    m_cd.BASS_CD_SetOffset(drive, samples);
}

void DriveOffset::setRipping(bool ripping) {
    m_ripping = ripping;
    if (ripping)
        m_finder->cancel();
    enableControls();
}

void DriveOffset::enableControls() {
    const bool image = isDiscImage(m_drive);
    spnReadOffset->setEnabled(!image && !m_ripping);
    cmdFindOffset->setEnabled(!image && !m_ripping && !m_finder->running());
}

void DriveOffset::spnReadOffset_Change(int samples) {
    setOffset(m_drive, samples);
}

bool DriveOffset::setOffset(DWORD drive, int samples) {
    if (m_ripping)
        return false; // the rip reads with the offset it started with
    m_cd.BASS_CD_SetOffset(drive, samples);
    if (m_register.REGSaveSetting(HKEY_LOCAL_MACHINE, kSection, driveName(drive),
                                  QString::number(samples)))
        return true;
    m_dialogs.showMessage(
        spnReadOffset->window(),
        QStringLiteral("The read offset could not be saved.\r\n%1").arg(m_register.lastError()),
        QStringLiteral("Settings not saved"), MessageIcon::Exclamation, MessageButtons::Ok);
    return false;
}

void DriveOffset::cmdFindOffset_Click() {
    if (m_ripping)
        return;
    cmdFindOffset->setEnabled(false);
    m_finder->start(m_drive);
}

// The offset goes to the drive it was found for, even if another one is shown by now.
void DriveOffset::offsetFound(const OffsetFinding& finding) {
    enableControls();
    QWidget* owner = cmdFindOffset->window();
    if (!finding.found) {
        m_dialogs.showMessage(
            owner, QStringLiteral("No read offset could be found: %1.").arg(finding.reason),
            kCaption, MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    const QString question =
        QStringLiteral("With a read offset of %1 samples, %2 tracks of this disc read as the "
                       "AccurateRip database holds them.\r\nUse this read offset for %3?")
            .arg(finding.offset)
            .arg(finding.tracks)
            .arg(driveName(finding.drive));
    if (m_dialogs.showMessage(owner, question, kCaption, MessageIcon::Question,
                              MessageButtons::YesNo) != MessageResult::Yes)
        return;
    setOffset(finding.drive, finding.offset);
    if (finding.drive != m_drive)
        return;
    const QSignalBlocker quiet(spnReadOffset);
    spnReadOffset->setValue(finding.offset);
}
