#include "verify/filecheck.h"

#include <FLAC/metadata.h>

#include <QFile>

#include <cmath>

namespace {

constexpr double kSampleRate = 44100.0;
constexpr double kLeeway = 0.5; // seconds: an encoder's frames and its delay fit well within

QString Seconds(double seconds) {
    return QString::number(seconds, 'f', 1) + QStringLiteral(" s");
}

std::optional<FileProblem> Problem(const QString& text) {
    return FileProblem{text};
}

std::optional<QString> FlacHeaderProblem(const QString& path, qint64 samples) {
    FLAC__StreamMetadata info;
    if (!FLAC__metadata_get_streaminfo(QFile::encodeName(path).constData(), &info))
        return QStringLiteral("its stream header cannot be read");
    const auto counted = qint64(info.data.stream_info.total_samples);
    if (counted == samples)
        return std::nullopt;
    return QStringLiteral("its stream header counts %1 samples, not %2").arg(counted).arg(samples);
}

} // namespace

std::optional<FileProblem> AudioFileProblem(BassCore& library, const QString& path,
                                            const char* codec, qint64 samples) {
    AudioFileFacts facts;
    if (!library.BASS_GetFileFacts(QFile::encodeName(path).constData(), &facts))
        return FileProblem{QString::fromStdString(facts.reason),
                           library.BASS_ErrorGetCode() == BASS_ERROR_NOTAVAIL};
    if (facts.codec != codec)
        return Problem(QStringLiteral("it holds %1 audio, not %2")
                           .arg(QString::fromStdString(facts.codec), QString::fromLatin1(codec)));
    const double expected = double(samples) / kSampleRate;
    if (std::abs(facts.seconds - expected) > kLeeway)
        return Problem(
            QStringLiteral("it lasts %1, not %2").arg(Seconds(facts.seconds), Seconds(expected)));
    if (qstrcmp(codec, "flac") == 0)
        if (const std::optional<QString> header = FlacHeaderProblem(path, samples))
            return Problem(*header);
    return std::nullopt;
}
