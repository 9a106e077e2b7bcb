#include "rip/extractionresources.h"

#include <QWidget>

ExtractionResources::ExtractionResources(const RipContext& job)
    : m_job(job), m_wasLocked(job.bass.cd.BASS_CD_DoorIsLocked(job.drive) != 0) {
    m_job.bass.cd.BASS_CD_Door(m_job.drive, BASS_CD_DOOR_LOCK);
}

ExtractionResources::~ExtractionResources() {
    if (!m_wasLocked)
        m_job.bass.cd.BASS_CD_Door(m_job.drive, BASS_CD_DOOR_UNLOCK);
    freeStream();
    m_job.window.setEnabled(true);
}

void ExtractionResources::adoptStream(DWORD stream) {
    m_stream = stream;
    m_job.window.setEnabled(false);
}

void ExtractionResources::freeStream() {
    if (m_stream == 0)
        return;
    m_job.bass.core.BASS_ChannelStop(m_stream);
    m_job.bass.core.BASS_StreamFree(m_stream);
    m_stream = 0;
}
