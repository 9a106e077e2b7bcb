#include "rip/files/ripfilecheck.h"

#include "common/dialogs.h"
#include "verify/filecheck.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <unistd.h>

namespace {

// What a file of this output is as FFmpeg tells it, and who made it, for the check's report.
struct FileKind {
    const char* codec;
    QString format;
    QString maker;
};

FileKind FileKindOf(const RipOutput& output) {
    switch (output.path) {
    case RipPath::Flac:
        return {"flac", QStringLiteral("FLAC"), QStringLiteral("The FLAC encoder")};
    case RipPath::Wma:
        return {"wmav2", QStringLiteral("WMA"), QStringLiteral("The WMA encoder")};
    case RipPath::Encoder:
        if (output.code.startsWith(QLatin1String("OGG")))
            return {"vorbis", QStringLiteral("OGG"), QStringLiteral("oggenc")};
        return {"mp3", QStringLiteral("MP3"), QStringLiteral("lame")};
    case RipPath::Wav:
    case RipPath::None:
        break;
    }
    return {"pcm_s16le", QStringLiteral("WAV"), QStringLiteral("The WAV writer")};
}

bool TooLongForTheSystem(const QString& path) {
    const QByteArray encoded = QFile::encodeName(path);
    long longestName =
        ::pathconf(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), _PC_NAME_MAX);
    if (longestName <= 0)
        longestName = NAME_MAX;
    const QList<QByteArray> names = encoded.split('/');
    return encoded.size() >= PATH_MAX ||
           std::any_of(names.begin(), names.end(),
                       [&](const QByteArray& name) { return name.size() > longestName; });
}

} // namespace

std::optional<TrackOutcome> NameTooLong(const RipContext& job, const QString& path,
                                        const QString& shownName) {
    if (!TooLongForTheSystem(path))
        return std::nullopt;
    const QString reason = QString::fromLocal8Bit(std::strerror(ENAMETOOLONG));
    job.dialogs.showMessage(
        job.boxOwner,
        QStringLiteral("The file \"") + shownName + QStringLiteral("\" cannot be made: ") + reason +
            QStringLiteral(".\r\nThe track is not ripped."),
        QStringLiteral("Output folder"), MessageIcon::Exclamation, MessageButtons::Ok);
    return TrackOutcome::Of(TrackOutcome::Kind::WriteFailed, reason);
}

std::optional<TrackOutcome> CheckRippedFile(const RipContext& job, const RipOutput& output,
                                            const QString& path, const QString& shownName,
                                            qint64 samples) {
    const FileKind kind = FileKindOf(output);
    const std::optional<FileProblem> problem =
        AudioFileProblem(job.bass.core, path, kind.codec, samples);
    if (!problem)
        return std::nullopt;
    // A file that could not be read back is not the encoder's fault.
    const QString text = problem->unchecked
                             ? QStringLiteral("The file \"") + shownName +
                                   QStringLiteral("\" could not be checked: ") + problem->text
                             : kind.maker + QStringLiteral(" made a file that is not a valid ") +
                                   kind.format + QStringLiteral(" (") + shownName +
                                   QStringLiteral("): ") + problem->text;
    job.dialogs.showMessage(
        job.boxOwner, text + QStringLiteral(".\r\nThe track is not counted as ripped."),
        QStringLiteral("Encoder"), MessageIcon::Exclamation, MessageButtons::Ok);
    return TrackOutcome::Of(output.path == RipPath::Wav ? TrackOutcome::Kind::WriteFailed
                                                        : TrackOutcome::Kind::EncoderFailed,
                            text);
}
