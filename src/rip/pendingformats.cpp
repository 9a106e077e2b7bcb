#include "shell/frmmain.h"

#include "common/dialogs.h"
#include "rip/frmripp.h"

// The WMA encoder and the external MP3/OGG encoders arrive with the encoder
// work. Until then a rip in those formats says so and counts the track as not
// ripped, instead of pretending to have written a file.

namespace {
// Said once per rip job, not for every track of it.
bool ReportFormatNotAvailable(frmMain& window, const QString& format) {
    frmRipp* job = window.ripDialog;
    if (job != nullptr && !job->FirstNoticeInJob(format + QStringLiteral(" not available")))
        return false;
    window.dialogs().showMessage(job != nullptr ? static_cast<QWidget*>(job) : &window,
                                 format + QStringLiteral(" output is not available in this "
                                                         "version yet. Choose WAV to rip."),
                                 QStringLiteral("Format not available"), MessageIcon::Exclamation,
                                 MessageButtons::Ok);
    return false;
}
} // namespace

bool frmMain::ExtractAudioTrackToWMA(int /*lTrack*/, int /*lngBitrate*/) {
    return ReportFormatNotAvailable(*this, QStringLiteral("WMA"));
}

bool frmMain::Converter(const QString& /*sTrack*/, const QString& sFormat,
                        const QString& /*sBitrate*/, const QString& /*sFile*/,
                        bool /*bDeleteWav*/) {
    return ReportFormatNotAvailable(*this, sFormat.startsWith("OGG") ? QStringLiteral("OGG")
                                                                     : QStringLiteral("MP3"));
}

// The WMA bit-rate list stays empty until the WMA encoder is there.
void frmMain::LoadWMAEncoderRates() {}
