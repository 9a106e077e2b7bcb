#include "rip/extractionresources.h"

#include "common/dialogs.h"
#include "common/drivedoor.h"

#include <QWidget>

ExtractionResources::ExtractionResources(const RipContext& job)
    : m_job(job), m_wasLocked(job.door.isLocked()) {
    m_job.door.setLocked(true);
}

ExtractionResources::~ExtractionResources() {
    if (!m_wasLocked)
        m_job.door.setLocked(false);
    freeStream();
    m_job.window.setEnabled(true);
}

void ExtractionResources::adoptStream(DWORD stream) {
    m_stream = stream;
    m_job.window.setEnabled(false);
    // The rip dialog is a window of the main window: disabling the main window disabled it too,
    // and with it the Stop button.
    if (m_job.boxOwner != nullptr && m_job.boxOwner->isWindow())
        m_job.boxOwner->setEnabled(true);
}

void ExtractionResources::freeStream() {
    if (m_stream == 0)
        return;
    m_job.bass.core.BASS_ChannelStop(m_stream);
    m_job.bass.core.BASS_StreamFree(m_stream);
    m_stream = 0;
}

bool ReportDamage(const RipContext& job, DWORD stream, int lTrack) {
    DWORD skipped = 0;
    DWORD readErrors = 0;
    if (!job.bass.cd.BASS_CD_StreamGetDamage(stream, &skipped, &readErrors) ||
        (skipped == 0 && readErrors == 0))
        return false;
    job.dialogs.showMessage(
        job.boxOwner,
        QStringLiteral("Track %1 could not be read exactly: %2 sectors were patched over and %3 "
                       "reads failed, so it is not counted as ripped. Clean the disc and rip the "
                       "track again.")
            .arg(lTrack + 1)
            .arg(skipped)
            .arg(readErrors),
        QStringLiteral("Read errors"), MessageIcon::Exclamation, MessageButtons::Ok);
    return true;
}
