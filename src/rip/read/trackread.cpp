#include "rip/read/trackread.h"

#include "common/dialogs.h"
#include "common/errorreporting.h"
#include "common/modbass.h"
#include "common/product.h"
#include "rip/encode/wavfilewriter.h"
#include "rip/library/libraryfiles.h"
#include "rip/read/checksumthread.h"
#include "rip/read/discwatch.h"
#include "rip/step/blockpump.h"
#include "rip/step/trackreading.h"

#include <algorithm>
#include <vector>

namespace {

using Kind = TrackOutcome::Kind;

struct CopyEnd {
    Kind kind = Kind::Ripped;
    std::optional<RipFailure> failure;
    std::optional<QString> discLost; // why the listed disc could not be read on
};

std::optional<QString> DiscLost(const RipContext& job) {
    return job.disc != nullptr ? job.disc->lost() : std::nullopt;
}

std::optional<WavFormat> ReadWavFormat(BassCore& core, DWORD stream) {
    BASS_CHANNELINFO info;
    core.BASS_ChannelGetInfo(stream, &info);
    DWORD frequency = 0;
    core.BASS_ChannelGetAttributes(stream, &frequency, nullptr, nullptr);
    WavFormat format;
    format.channels = static_cast<quint16>(info.chans > 2 ? 2 : info.chans);
    format.bitsPerSample = (info.flags & BASS_SAMPLE_8BITS) ? 8 : 16;
    format.blockAlign = static_cast<quint16>(format.channels * format.bitsPerSample / 8);
    const qint64 bytesPerSecond = qint64(format.blockAlign) * frequency;
    if (frequency > quint32(WavFileWriter::kLargestRiffSize) ||
        bytesPerSecond > WavFileWriter::kLargestRiffSize)
        return std::nullopt;
    format.sampleRate = frequency;
    format.bytesPerSecond = static_cast<quint32>(bytesPerSecond);
    return format;
}

std::optional<RipFailure> OpenWav(const RipContext& job, DWORD stream, WavFileWriter& wav,
                                  const QString& path, const QString& shownName) {
    const std::optional<WavFormat> format = ReadWavFormat(job.bass.core, stream);
    if (!format)
        return TooLong(shownName);
    if (auto failure = wav.create(path, shownName))
        return failure;
    return wav.writeHeader(*format);
}

// The blocks, then the file finished. Ripped when the track's length was read; a stop ends it
// early with a valid, shorter file.
CopyEnd CopyTrack(BassCore& core, WavFileWriter* wav, DWORD stream, const DiscTrack& track,
                  const RipContext& job) {
    std::optional<ChecksumThread> sums;
    if (job.reading != nullptr && job.reading->checksums)
        sums.emplace(*job.reading->checksums);
    const auto length = qint64(core.BASS_StreamGetLength(stream));
    if (job.reading != nullptr)
        job.reading->bytes = length;
    LoudnessFeed loudness(job.library != nullptr ? job.library->loudness() : nullptr, track.index);
    std::optional<DeEmphasis> deEmphasis;
    if (job.library != nullptr && wav != nullptr)
        deEmphasis = job.library->deEmphasisFor(track.index, job.path);
    std::vector<char> filtered; // the file's copy of a block, de-emphasised
    std::optional<QString> lost;
    std::optional<RipFailure> writeFailure;
    PumpSides sides;
    sides.length = length;
    sides.stop = [&] { return job.control.waitWhilePaused(); };
    sides.read = [&](char* data, int size) {
        if ((lost = DiscLost(job)))
            return -1;
        const int n = core.BASS_ChannelGetData(stream, data, DWORD(size));
        if (n <= 0)
            lost = DiscLost(job); // what made the read fail
        return n;
    };
    sides.write = [&](const char* data, int n) {
        if (sums)
            sums->add(data, n);
        loudness.add(data, n);
        if (deEmphasis) { // after the checksums and the meter took the disc's samples
            filtered.assign(data, data + n);
            deEmphasis->process(reinterpret_cast<std::int16_t*>(filtered.data()),
                                std::size_t(n) / 4);
            data = filtered.data();
        }
        if (wav != nullptr)
            writeFailure = wav->append(data, n);
        return !writeFailure;
    };
    sides.progress = job.progress;
    const PumpEnd pumped = PumpBlocks(sides);
    if (lost)
        return {Kind::ReadFailed, std::nullopt, lost};
    if (pumped.kind == PumpEnd::Kind::ReadFailed)
        return {Kind::ReadFailed, ReadFailure(core, track, pumped.lastRead), std::nullopt};
    if (writeFailure)
        return {Kind::WriteFailed, writeFailure, std::nullopt};
    Kind end = Kind::Ripped;
    if (pumped.kind == PumpEnd::Kind::Stopped)
        end = pumped.bytes > 0 ? Kind::StoppedShort : Kind::NotStarted;
    if (job.reading != nullptr)
        job.reading->wholeTrack = end == Kind::Ripped;
    if (end == Kind::Ripped)
        loudness.readWhole();
    if (sums)
        sums->finish();
    if (auto failure = wav != nullptr ? wav->finish() : std::nullopt)
        return {Kind::WriteFailed, failure, std::nullopt};
    return {end, std::nullopt, std::nullopt};
}

// The track's decode stream, freed however the extraction ends.
class StreamHandle {
public:
    StreamHandle(BassCore& core, DWORD stream) : m_core(core), m_stream(stream) {}
    StreamHandle(const StreamHandle&) = delete;
    StreamHandle& operator=(const StreamHandle&) = delete;
    ~StreamHandle() {
        m_core.BASS_ChannelStop(m_stream);
        m_core.BASS_StreamFree(m_stream);
    }

private:
    BassCore& m_core;
    DWORD m_stream;
};

// The WMA path says it with the library's code, as its other boxes do.
TrackOutcome NoStream(const RipContext& job) {
    const int code = job.bass.core.BASS_ErrorGetCode();
    const QString message = QStringLiteral("Unable to Create CD Stream!");
    if (job.path == RipPath::Wma)
        ShowCodedError(job.dialogs, job.boxOwner, message, code);
    else
        job.dialogs.showMessage(job.boxOwner, message, kProductName, MessageIcon::None,
                                MessageButtons::Ok);
    const QString reason = BassErrorText(code);
    return TrackOutcome::Of(Kind::ReadFailed,
                            QStringLiteral("the drive gives no stream for it") +
                                (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason));
}

// The listed disc is gone: the track is not read, and the reader is told why (the pipeline
// says it once for the rip).
TrackOutcome Lost(const RipContext& job, const QString& reason) {
    if (job.reading != nullptr)
        job.reading->discLost = reason;
    return TrackOutcome::Of(Kind::ReadFailed, reason);
}

// What the drive had to give up on (and the user told) when it could not read the track of
// stream exactly: sectors patched over or reads that failed. Such a copy is not ripped.
std::optional<QString> ReportDamage(const RipContext& job, DWORD stream, const DiscTrack& track) {
    DWORD skipped = 0;
    DWORD readErrors = 0;
    if (!job.bass.cd.BASS_CD_StreamGetDamage(stream, &skipped, &readErrors) ||
        (skipped == 0 && readErrors == 0))
        return std::nullopt;
    if (job.reading != nullptr) {
        job.reading->patchedSectors = static_cast<int>(skipped);
        job.reading->readErrors = static_cast<int>(readErrors);
    }
    job.dialogs.showMessage(
        job.boxOwner,
        QStringLiteral("Track %1 could not be read exactly: %2 sectors were patched over and %3 "
                       "reads failed, so it is not counted as ripped. Clean the disc and rip the "
                       "track again.")
            .arg(track.number)
            .arg(skipped)
            .arg(readErrors),
        QStringLiteral("Read errors"), MessageIcon::Exclamation, MessageButtons::Ok);
    return QStringLiteral("%1 sectors were patched over and %2 reads failed")
        .arg(skipped)
        .arg(readErrors);
}

// wav: the file the track goes into, made once the stream tells its format (path, named
// shownName in a failure); none for a read that only counts.
TrackOutcome ExtractTrack(const RipContext& job, const DiscTrack& track, WavFileWriter* wav,
                          const QString& path, const QString& shownName) {
    if (std::optional<QString> lost = DiscLost(job))
        return Lost(job, *lost);
    const DWORD stream =
        job.bass.cd.BASS_CD_StreamCreate(job.drive, static_cast<DWORD>(track.index), job.readFlags);
    if (stream == 0) {
        if (std::optional<QString> lost = DiscLost(job))
            return Lost(job, *lost);
        return NoStream(job);
    }
    const StreamHandle held(job.bass.core, stream);
    CopyEnd end;
    if (auto failure = wav != nullptr ? OpenWav(job, stream, *wav, path, shownName) : std::nullopt)
        end = {Kind::WriteFailed, failure, std::nullopt};
    else
        end = CopyTrack(job.bass.core, wav, stream, track, job);
    if (end.discLost)
        return Lost(job, *end.discLost);
    if (end.failure) {
        return ToldFailure(job, end.kind, *end.failure);
    }
    if (end.kind == Kind::Ripped)
        if (const std::optional<QString> damage = ReportDamage(job, stream, track))
            return TrackOutcome::Of(Kind::ReadFailed, *damage);
    return TrackOutcome::Of(end.kind);
}

// Into a WAV file at path; failures name the file shownName.
TrackOutcome ExtractAudioTrackToWav(const RipContext& job, const DiscTrack& track,
                                    const QString& path, const QString& shownName) {
    WavFileWriter wav(job.closeFile);
    return ExtractTrack(job, track, &wav, path, shownName);
}

// Only for the checksums: nothing is written.
TrackOutcome ReadTrackForChecksums(const RipContext& job, const DiscTrack& track) {
    return ExtractTrack(job, track, nullptr, {}, {});
}

// The job as one read of the track sees it: its own record of the read, and the progress bar
// moving through the first half for the test read and the second for the others.
RipContext ReadingJob(const RipContext& job, TrackReading& reading, bool testRead) {
    RipContext one = job;
    one.reading = &reading;
    one.progress = [report = job.progress, testRead](float done) {
        report((testRead ? 0.0f : 0.5f) + done / 2);
    };
    return one;
}

quint32 Crc(const TrackReading& reading) {
    return reading.checksums ? reading.checksums->sums().crc32 : 0;
}

TrackOutcome Unstable(const RipContext& job, const DiscTrack& track) {
    job.dialogs.showMessage(
        job.boxOwner,
        QStringLiteral("Track %1 was read %2 times and no two reads agreed, so it is not counted "
                       "as ripped. Clean the disc and rip the track again.")
            .arg(track.number)
            .arg(kMostReadsOfATrack),
        QStringLiteral("Unstable reads"), MessageIcon::Exclamation, MessageButtons::Ok);
    return TrackOutcome::Of(Kind::Unstable, QStringLiteral("%1 reads").arg(kMostReadsOfATrack));
}

// The test read: nothing is written, so a Stop in the middle of it leaves no file to keep.
TrackOutcome TestRead(const RipContext& job, const DiscTrack& track, TrackReading& reading) {
    const TrackOutcome read = ReadTrackForChecksums(ReadingJob(job, reading, true), track);
    if (read.kind == Kind::StoppedShort)
        return TrackOutcome::Of(Kind::NotStarted);
    return read;
}

// Reads the track into its file until the last read agrees with an earlier one.
TrackOutcome CopyUntilTwoAgree(const RipContext& job, const DiscTrack& track, const QString& path,
                               const QString& shownName, const TrackReading& blank,
                               std::vector<quint32>& crcs) {
    TrackReading& kept = *job.reading;
    while (int(crcs.size()) < kMostReadsOfATrack) {
        kept = blank;
        const TrackOutcome copy =
            ExtractAudioTrackToWav(ReadingJob(job, kept, false), track, path, shownName);
        if (!copy.ripped())
            return copy;
        const quint32 crc = Crc(kept);
        const bool agreed = std::find(crcs.begin(), crcs.end(), crc) != crcs.end();
        crcs.push_back(crc);
        if (agreed)
            return copy;
    }
    return Unstable(job, track);
}

// The checksums count the track's samples as the table of contents gives them and leave out
// the disc's edges on its first and last audio tracks; a track the table does not know has none.
void CountChecksums(const DiscToc& toc, const DiscTrack& track, TrackReading& reading) {
    if (track.index == int(BASS_CD_TRACK_HIDDEN) && !toc.tracks.isEmpty()) // before track 1
        reading.checksums.emplace(qint64(toc.tracks.first().lsn) * kSamplesPerSector, false, false);
    if (track.index < 0 || track.index >= toc.tracks.size())
        return;
    const qint64 samples =
        qint64(TrackEnd(toc, track.index) - toc.tracks[track.index].lsn) * kSamplesPerSector;
    reading.checksums.emplace(samples, track.index == toc.firstAudio(),
                              track.index == toc.lastAudio());
}

} // namespace

TrackOutcome ReadTrackToWav(const RipContext& job, const DiscToc& toc, const DiscTrack& track,
                            const QString& path, const QString& shownName) {
    if (job.reading != nullptr)
        CountChecksums(toc, track, *job.reading);
    if (!job.output.readTwice || job.reading == nullptr || !job.reading->checksums)
        return ExtractAudioTrackToWav(job, track, path, shownName);
    const TrackReading blank = *job.reading;
    TrackReading test = blank;
    const TrackOutcome tested = TestRead(job, track, test);
    if (!tested.ripped()) {
        *job.reading = test;
        return tested;
    }
    std::vector<quint32> crcs{Crc(test)};
    const TrackOutcome outcome = CopyUntilTwoAgree(job, track, path, shownName, blank, crcs);
    job.reading->readCrcs = crcs;
    return outcome;
}
