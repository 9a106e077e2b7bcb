#include "rip/encode/spooledwav.h"

#include "common/errorreporting.h"
#include "rip/encode/wavfilewriter.h"
#include "rip/files/stagedfile.h"

#include <QFile>

WrittenTrack CopySpooledWav(const RipContext& job, const QString& spooled, const StagedFile& file) {
    QFile::remove(file.path());
    QFile spool(spooled);
    if (spool.copy(file.path()))
        return {TrackOutcome::Of(TrackOutcome::Kind::Ripped),
                (spool.size() - WavFileWriter::kHeaderBytes) / 4};
    const QString reason = spool.errorString();
    ShowError(job.dialogs, job.boxOwner, QStringLiteral("frmDemo"), job.routine(), EIO,
              QStringLiteral("Copying the spooled audio to \"%1\" failed: %2")
                  .arg(file.finalPath(), reason));
    return {TrackOutcome::Of(TrackOutcome::Kind::WriteFailed, reason), 0};
}
