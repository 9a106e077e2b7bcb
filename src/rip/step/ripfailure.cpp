#include "rip/step/ripfailure.h"

#include "common/audiolibrary.h"
#include "common/dialogs.h"
#include "common/disctoc.h"
#include "common/errorreporting.h"

#include <cerrno>
#include <cstring>

namespace {
constexpr int kLibraryFailureBase = 1000;
} // namespace

RipFailure FileFailure(int error, const QString& action, const QString& fileName) {
    if (error == 0)
        error = EIO;
    return {error, QString::fromLocal8Bit(std::strerror(error)) + QStringLiteral(" (") + action +
                       QStringLiteral(" ") + fileName + QStringLiteral(")")};
}

RipFailure ReadFailure(BassCore& core, const DiscTrack& track, int delivered) {
    const int code = core.BASS_ErrorGetCode();
    const QString number = QString::number(track.number);
    if (delivered == 0)
        return {kLibraryFailureBase + code,
                QStringLiteral("The drive delivered no audio for track ") + number +
                    QStringLiteral(" before its end")};
    const QString reason = BassErrorText(code);
    return {kLibraryFailureBase + code,
            QStringLiteral("Reading track ") + number + QStringLiteral(" failed") +
                (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason)};
}

RipFailure TooLong(const QString& fileName) {
    return {EOVERFLOW, QStringLiteral("The track is too long for a WAV file (") + fileName +
                           QStringLiteral(")")};
}

TrackOutcome ToldFailure(const RipContext& job, TrackOutcome::Kind kind,
                         const RipFailure& failure) {
    ShowError(job.dialogs, job.boxOwner, QStringLiteral("frmDemo"), job.routine(), failure.number,
              failure.description);
    return TrackOutcome::Of(kind, failure.description);
}
