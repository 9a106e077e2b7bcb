#include "rip/ripjob.h"

#include "common/dialogs.h"

// The WMA encoder and the external MP3/OGG encoders arrive with the encoder
// work. Until then a rip in those formats says so and counts the track as not
// ripped, instead of pretending to have written a file.

// Said once per rip job, not for every track of it.
bool RipJob::ReportFormatNotAvailable(const QString& format) {
    if (FirstNoticeInJob(format + QStringLiteral(" not available")))
        m_services.dialogs.showMessage(m_boxOwner,
                                       format + QStringLiteral(" output is not available in this "
                                                               "version yet. Choose WAV to rip."),
                                       QStringLiteral("Format not available"),
                                       MessageIcon::Exclamation, MessageButtons::Ok);
    return false;
}

bool RipJob::ExtractAudioTrackToWMA(int /*lTrack*/, int /*lngBitrate*/) {
    return ReportFormatNotAvailable(QStringLiteral("WMA"));
}

bool RipJob::Converter(const QString& /*sTrack*/, const QString& sFormat,
                       const QString& /*sBitrate*/, const QString& /*sFile*/, bool /*bDeleteWav*/) {
    return ReportFormatNotAvailable(sFormat.startsWith("OGG") ? QStringLiteral("OGG")
                                                              : QStringLiteral("MP3"));
}
