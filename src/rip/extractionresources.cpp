#include "rip/extractionresources.h"

#include "common/dialogs.h"
#include "common/drivedoor.h"
#include "rip/trackreading.h"

#include <QWidget>

ExtractionResources::ExtractionResources(DriveDoor& door, QWidget& window, QWidget* dialog)
    : m_door(door), m_window(window), m_wasLocked(door.isLocked()) {
    m_door.setLocked(true);
    m_window.setEnabled(false);
    // The rip dialog is a window of the main window: disabling the main window disabled it too,
    // and with it the Stop button.
    if (dialog != nullptr && dialog->isWindow())
        dialog->setEnabled(true);
}

ExtractionResources::~ExtractionResources() {
    if (!m_wasLocked)
        m_door.setLocked(false);
    m_window.setEnabled(true);
}

std::optional<QString> ReportDamage(const RipContext& job, DWORD stream, const DiscTrack& track) {
    DWORD skipped = 0;
    DWORD readErrors = 0;
    if (!job.bass.cd.BASS_CD_StreamGetDamage(stream, &skipped, &readErrors) ||
        (skipped == 0 && readErrors == 0))
        return std::nullopt;
    if (job.reading != nullptr) {
        job.reading->patchedSectors = static_cast<int>(skipped);
        job.reading->readErrors = static_cast<int>(readErrors);
    }
    job.dialogs.showMessage(
        job.boxOwner,
        QStringLiteral("Track %1 could not be read exactly: %2 sectors were patched over and %3 "
                       "reads failed, so it is not counted as ripped. Clean the disc and rip the "
                       "track again.")
            .arg(track.number)
            .arg(skipped)
            .arg(readErrors),
        QStringLiteral("Read errors"), MessageIcon::Exclamation, MessageButtons::Ok);
    return QStringLiteral("%1 sectors were patched over and %2 reads failed")
        .arg(skipped)
        .arg(readErrors);
}
