#include "rip/ripfailure.h"

#include "common/audiolibrary.h"
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

RipFailure ReadFailure(BassCore& core, int lTrack, int delivered) {
    const int code = core.BASS_ErrorGetCode();
    const QString track = QString::number(lTrack + 1);
    if (delivered == 0)
        return {kLibraryFailureBase + code,
                QStringLiteral("The drive delivered no audio for track ") + track +
                    QStringLiteral(" before its end")};
    const QString reason = BassErrorText(code);
    return {kLibraryFailureBase + code,
            QStringLiteral("Reading track ") + track + QStringLiteral(" failed") +
                (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason)};
}

RipFailure TooLong(const QString& fileName) {
    return {EOVERFLOW, QStringLiteral("The track is too long for a WAV file (") + fileName +
                           QStringLiteral(")")};
}
