#include "rip/pendingformats.h"

#include "common/dialogs.h"

// Until the external encoders are there a rip in those formats says so and counts the track as not
// ripped, instead of pretending to have written a file.

namespace {
// Said once per rip job, not for every track of it.
bool ReportFormatNotAvailable(const RipContext& job, const QString& format) {
    if (job.firstNotice(format + QStringLiteral(" not available")))
        job.dialogs.showMessage(job.boxOwner,
                                format + QStringLiteral(" output is not available in this "
                                                        "version yet. Choose WAV to rip."),
                                QStringLiteral("Format not available"), MessageIcon::Exclamation,
                                MessageButtons::Ok);
    return false;
}
} // namespace

bool Converter(const RipContext& job, const QString& /*sTrack*/, const QString& sFormat,
               const QString& /*sBitrate*/, const QString& /*sFile*/, bool /*bDeleteWav*/) {
    return ReportFormatNotAvailable(job, sFormat.startsWith("OGG") ? QStringLiteral("OGG")
                                                                   : QStringLiteral("MP3"));
}
