#include "rip/encode/spooledencoding.h"

#include "common/errorreporting.h"
#include "metadata/disccodetags.h"
#include "rip/encode/converter.h"
#include "rip/encode/flacfilewriter.h"
#include "rip/encode/spooledwav.h"
#include "rip/encode/wavfilewriter.h"
#include "rip/encode/wmatagnames.h"
#include "rip/files/stagedfile.h"
#include "rip/files/tracktagging.h"
#include "rip/step/blockpump.h"
#include "rip/step/ripfailure.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <memory>

#include <sys/stat.h>

namespace {

using Kind = TrackOutcome::Kind;

constexpr int kBytesPerSample = 4;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using SpoolFile = std::unique_ptr<std::FILE, FileCloser>;

QString SpoolAction(const DiscTrack& track) {
    return QStringLiteral("reading the spooled audio of track %1 from").arg(track.number);
}

// The spooled audio past its header; the reason told when it cannot be opened or read.
SpoolFile OpenSpool(const RipContext& job, const DiscTrack& track, const QString& spooled,
                    std::optional<TrackOutcome>& failure) {
    errno = 0;
    SpoolFile file(std::fopen(QFile::encodeName(spooled).constData(), "rbe"));
    char header[WavFileWriter::kHeaderBytes];
    if (!file || (std::fread(header, 1, sizeof header, file.get()) < sizeof header &&
                  std::ferror(file.get())))
        failure =
            ToldFailure(job, Kind::ReadFailed, FileFailure(errno, SpoolAction(track), spooled));
    return file;
}

struct FeedEnd {
    Kind kind = Kind::Ripped;
    qint64 samples = 0; // fed to write
    std::optional<TrackOutcome> failure;
};

// Hands the spooled audio to write block by block until its end or a stop; a read that fails
// ends the feed as a failure, and write returns what went wrong on its side (told already).
FeedEnd FeedSpool(const RipContext& job, const DiscTrack& track, const QString& spooled,
                  const std::function<std::optional<TrackOutcome>(const char*, qsizetype)>& write) {
    FeedEnd end;
    const SpoolFile file = OpenSpool(job, track, spooled, end.failure);
    if (end.failure)
        return end;
    int readError = 0;
    const PumpEnd pumped =
        PumpBlocks({std::max<qint64>(0, QFile(spooled).size() - WavFileWriter::kHeaderBytes),
                    [&] { return job.stopRequested(); },
                    [&](char* data, int size) {
                        errno = 0;
                        const std::size_t n = std::fread(data, 1, std::size_t(size), file.get());
                        readError = errno;
                        return int(n);
                    },
                    [&](const char* data, int n) {
                        end.failure = write(data, n);
                        return !end.failure;
                    },
                    job.progress});
    end.samples = pumped.bytes / kBytesPerSample;
    if (pumped.kind == PumpEnd::Kind::ReadFailed)
        end.failure =
            ToldFailure(job, Kind::ReadFailed, FileFailure(readError, SpoolAction(track), spooled));
    else if (pumped.kind == PumpEnd::Kind::Stopped)
        end.kind = pumped.bytes > 0 ? Kind::StoppedShort : Kind::NotStarted;
    return end;
}

WrittenTrack EncodeFlac(const RipContext& job, const DiscTrack& track, const QString& spooled,
                        int level, const StagedFile& file) {
    FlacFileWriter flac(job.closeFile);
    const quint64 samples =
        quint64(std::max<qint64>(0, QFile(spooled).size() - WavFileWriter::kHeaderBytes)) /
        kBytesPerSample;
    if (auto failure = flac.create(file.path(), file.finalPath(), level, samples))
        return {ToldFailure(job, Kind::WriteFailed, *failure), 0};
    const FeedEnd end = FeedSpool(
        job, track, spooled, [&](const char* data, qsizetype n) -> std::optional<TrackOutcome> {
            if (auto failure = flac.append(data, n))
                return ToldFailure(job, Kind::WriteFailed, *failure);
            return std::nullopt;
        });
    const std::optional<RipFailure> finished = flac.finish();
    if (end.failure)
        return {*end.failure, end.samples};
    if (finished)
        return {ToldFailure(job, Kind::WriteFailed, *finished), end.samples};
    return {TrackOutcome::Of(end.kind), end.samples};
}

// The open WMA encoder; closing it completes the file with what was encoded, however the
// encoding ends.
class WmaEncoderHandle {
public:
    WmaEncoderHandle(BassWma& wma, HWMENCODE handle) : m_wma(wma), m_handle(handle) {}
    WmaEncoderHandle(const WmaEncoderHandle&) = delete;
    WmaEncoderHandle& operator=(const WmaEncoderHandle&) = delete;
    ~WmaEncoderHandle() { close(); }
    HWMENCODE get() const { return m_handle; }
    // The library's error code tells whether the end of the file reached the disk.
    void close() {
        if (m_handle != 0)
            m_wma.BASS_WMA_EncodeClose(m_handle);
        m_handle = 0;
    }

private:
    BassWma& m_wma;
    HWMENCODE m_handle;
};

// The ticked tags with text, then the empty tag that ends them (also when none are ticked). A box
// that still holds its label word ("Title") stands for the disc's value of that field.
void WriteTags(const RipContext& job, const DiscTrack& track, HWMENCODE encoder) {
    BassWma& wma = job.bass.wma;
    if (job.output.wmaTags)
        for (std::size_t i = 0; i < kWMATagNames.size(); ++i) {
            QString text = job.output.wmaTagTexts[i];
            if (text == QLatin1String(kWMATagLabels[i]))
                text = job.tags ? DiscValueOfWmaBox(*job.tags, track.index, i) : QString();
            if (!text.isEmpty())
                wma.BASS_WMA_EncodeSetTag(encoder, kWMATagNames[i], text.toUtf8().constData());
        }
    // The disc's codes (ISRC, catalog number) go with the ticked tags.
    if (job.output.wmaTags && job.tags != nullptr) {
        TrackTags codes;
        AddDiscCodes(codes, *job.tags, track.index);
        for (const auto& [name, text] : WmaDiscCodeTags(codes))
            wma.BASS_WMA_EncodeSetTag(encoder, name.constData(), text.constData());
    }
    wma.BASS_WMA_EncodeSetTag(encoder, "", "");
}

TrackOutcome Coded(const RipContext& job, Kind kind, const char* message) {
    const int code = job.bass.core.BASS_ErrorGetCode();
    ShowCodedError(job.dialogs, job.boxOwner, QString::fromLatin1(message), code);
    const QString reason = BassErrorText(code);
    return TrackOutcome::Of(kind,
                            QString::fromLatin1(message) +
                                (reason.isEmpty() ? QString() : QStringLiteral(" ") + reason));
}

WrittenTrack EncodeWma(const RipContext& job, const DiscTrack& track, const QString& spooled,
                       int bitrate, const StagedFile& file) {
    BassWma& wma = job.bass.wma;
    WmaEncoderHandle encoder(
        wma, wma.BASS_WMA_EncodeOpenFile(44100, BASS_WMA_TAGS, DWORD(bitrate),
                                         QFile::encodeName(file.path()).constData()));
    if (encoder.get() == 0)
        return {Coded(job, Kind::WriteFailed, "An error occured while opening output file."), 0};
    WriteTags(job, track, encoder.get());
    const FeedEnd end = FeedSpool(
        job, track, spooled, [&](const char* data, qsizetype n) -> std::optional<TrackOutcome> {
            if (wma.BASS_WMA_EncodeWrite(encoder.get(), data, DWORD(n)))
                return std::nullopt;
            return Coded(job, Kind::EncoderFailed, "An error occured while encoding WMA data.");
        });
    if (end.failure)
        return {*end.failure, end.samples};
    encoder.close();
    if (job.bass.core.BASS_ErrorGetCode() != BASS_OK)
        return {Coded(job, Kind::EncoderFailed, "An error occured while encoding WMA data."),
                end.samples};
    return {TrackOutcome::Of(end.kind), end.samples};
}

} // namespace

WrittenTrack EncodeSpooledTrack(const RipContext& job, const DiscTrack& track,
                                const RipOutput& output, const QString& spooled,
                                const StagedFile& file) {
    switch (output.path) {
    case RipPath::Encoder:
        return Converter(job, track, spooled, output.code, output.bitrate, file.path(),
                         file.finalPath());
    case RipPath::Flac:
        return EncodeFlac(job, track, spooled, output.flacLevel, file);
    case RipPath::Wma:
        return EncodeWma(job, track, spooled, output.wmaBitrate.value_or(0), file);
    case RipPath::Wav: // beside a second format
        return CopySpooledWav(job, spooled, file);
    case RipPath::None:
        break;
    }
    return {TrackOutcome::Of(Kind::EncoderFailed, QStringLiteral("no encoder for this format")), 0};
}

std::optional<TrackOutcome> SpoolProblem(const RipContext& job, const DiscTrack& track,
                                         const QString& spooled, qint64 trackBytes) {
    std::optional<TrackOutcome> failure;
    const SpoolFile file = OpenSpool(job, track, spooled, failure);
    if (failure)
        return failure;
    struct stat status {};
    if (::fstat(::fileno(file.get()), &status) != 0)
        return ToldFailure(job, Kind::ReadFailed, FileFailure(errno, SpoolAction(track), spooled));
    const qint64 held = qint64(status.st_size) - WavFileWriter::kHeaderBytes;
    if (held == trackBytes)
        return std::nullopt;
    return ToldFailure(job, Kind::ReadFailed,
                       {EIO, QStringLiteral("The spooled audio of track %1 holds %2 bytes, not the "
                                            "track's %3 (%4)")
                                 .arg(track.number)
                                 .arg(std::max<qint64>(held, 0))
                                 .arg(trackBytes)
                                 .arg(spooled)});
}
