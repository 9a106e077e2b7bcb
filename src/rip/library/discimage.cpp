#include "rip/library/discimage.h"

#include "common/audiolibrary.h"
#include "metadata/trackfilename.h"
#include "rip/encode/flacfilewriter.h"
#include "rip/files/stagedfile.h"
#include "rip/files/trackaudio.h"
#include "settings/outputformats.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kHidden = int(BASS_CD_TRACK_HIDDEN);
constexpr qint64 kBytesPerSector = 2352;

// One writer for either format, each append and the end checked.
class ImageWriter {
public:
    ImageWriter(const QString& path, const QString& shownName, int flacLevel, qint64 bytes)
        : m_flac(path.endsWith(QLatin1String(".flac"))) {
        m_failure = m_flac ? m_flacFile.create(path, shownName, flacLevel, quint64(bytes) / 4)
                           : m_wavFile.create(path, shownName);
        if (!m_flac && !m_failure)
            m_failure = m_wavFile.writeHeader(kCdWavFormat);
    }
    bool append(const char* data, qsizetype n) {
        if (!m_failure)
            m_failure = m_flac ? m_flacFile.append(data, n) : m_wavFile.append(data, n);
        m_bytes += n;
        return !m_failure;
    }
    std::optional<RipFailure> finish() {
        if (!m_failure)
            m_failure = m_flac ? m_flacFile.finish() : m_wavFile.finish();
        return m_failure;
    }
    qint64 bytes() const { return m_bytes; }
    const std::optional<RipFailure>& failure() const { return m_failure; }

private:
    bool m_flac;
    WavFileWriter m_wavFile;
    FlacFileWriter m_flacFile;
    std::optional<RipFailure> m_failure;
    qint64 m_bytes = 0;
};

// The tracks' files joined under the image's hidden name, which it takes when whole and exactly
// the disc's length; the reason when not.
std::optional<QString> Join(const DiscFilesJob& job, const QString& image, int flacLevel) {
    const qint64 bytes = (job.toc.audioLeadOut - job.imageFirstSector) * kBytesPerSector;
    StagedFile staged(image);
    ImageWriter writer(staged.path(), QFileInfo(image).fileName(), flacLevel, bytes);
    for (const auto& [lTrack, file] : job.files) {
        const std::optional<QString> failure = PumpFileAudio(
            file, [&](const char* data, qsizetype n) { return writer.append(data, n); });
        if (writer.failure())
            return writer.failure()->description;
        if (failure)
            return QStringLiteral("%1: %2").arg(QFileInfo(file).fileName(), *failure);
    }
    if (const std::optional<RipFailure> failure = writer.finish())
        return failure->description;
    if (writer.bytes() != bytes)
        return QStringLiteral("the tracks' files hold %1 bytes of audio, the disc %2")
            .arg(writer.bytes())
            .arg(bytes);
    if (!staged.makeFinal())
        return QStringLiteral("it could not be given its name");
    return std::nullopt;
}

// The image begins where the first file's audio does: the disc's first sector when the hidden
// track was ripped, else the first audio track's INDEX 01.
qint32 FirstSector(const DiscFilesJob& job) {
    if (job.files.front().first == kHidden)
        return 0;
    return job.toc.tracks[job.toc.firstAudio()].lsn;
}

} // namespace

void MakeDiscImage(DiscFilesJob& job, const OutputChoice& output, DiscFilesWritten& made) {
    const OutputFormat* format = FindOutputFormat(output.format);
    if (!output.wholeDiscImage || format == nullptr ||
        (format->path != RipPath::Wav && format->path != RipPath::Flac) || job.files.empty())
        return;
    if (!EveryAudioTrackRipped(job)) {
        made.notes << QStringLiteral(
            "Disc image: none, not every audio track was ripped; the track files are kept");
        return;
    }
    const QString extension = QString::fromLatin1(format->extension);
    const QDir folder = QFileInfo(job.files.front().second).absoluteDir();
    const QString image = folder.filePath(DiscFileName(AlbumOf(job), extension.toLower()));
    job.imageFirstSector = FirstSector(job);
    if (const std::optional<QString> failure = Join(job, image, output.flacLevel)) {
        made.notes
            << QStringLiteral("Disc image: not made (%1); the track files are kept").arg(*failure);
        made.failures << QStringLiteral("\"%1\": %2").arg(image, *failure);
        return;
    }
    job.image = image;
    // A track named after the album ("{album}" on a disc of one track) was replaced by the image.
    for (const auto& [lTrack, file] : job.files)
        if (QFileInfo(file) != QFileInfo(image))
            QFile::remove(file);
    made.notes << QStringLiteral(
                      "Disc image: %1 holds the whole disc; the track files are not kept")
                      .arg(QFileInfo(image).fileName());
}
