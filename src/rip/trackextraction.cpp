#include "rip/trackextraction.h"

#include "common/dialogs.h"
#include "common/errorreporting.h"
#include "common/modbass.h"
#include "common/product.h"
#include "rip/checksumthread.h"
#include "rip/discwatch.h"
#include "rip/extractionresources.h"
#include "rip/libraryfiles.h"
#include "rip/trackreading.h"

namespace {

constexpr DWORD kBlockBytes = 262144;

using Kind = TrackOutcome::Kind;

struct CopyEnd {
    Kind kind = Kind::Ripped;
    std::optional<RipFailure> failure;
    std::optional<QString> discLost; // why the listed disc could not be read on
};

std::optional<QString> DiscLost(const RipContext& job) {
    return job.disc != nullptr ? job.disc->lost() : std::nullopt;
}

// The blocks, then the sink finished. Ripped when the decoder reached the end of the track; a
// stop ends it early with a valid, shorter file.
CopyEnd CopyTrack(BassCore& core, TrackSink& sink, DWORD stream, int lTrack,
                  const RipContext& job) {
    QByteArray buffer;
    Kind end = Kind::Ripped;
    bool copied = false;
    std::optional<ChecksumThread> sums;
    if (job.reading != nullptr && job.reading->checksums)
        sums.emplace(*job.reading->checksums);
    if (job.reading != nullptr)
        job.reading->bytes = qint64(core.BASS_StreamGetLength(stream));
    LoudnessFeed loudness(job.library != nullptr ? job.library->loudness() : nullptr, lTrack);
    std::optional<DeEmphasis> deEmphasis =
        job.library != nullptr ? job.library->deEmphasisFor(lTrack, job.path) : std::nullopt;
    for (;;) {
        if (core.BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED)
            break;
        if (job.control.waitWhilePaused()) {
            end = copied ? Kind::StoppedShort : Kind::NotStarted;
            break;
        }
        if (std::optional<QString> lost = DiscLost(job))
            return {Kind::ReadFailed, std::nullopt, lost};
        // A short block must not leave the next read a smaller buffer than it asks to fill.
        buffer.resize(kBlockBytes);
        const int n = core.BASS_ChannelGetData(stream, buffer.data(), kBlockBytes);
        if (n <= 0) {
            if (std::optional<QString> lost = DiscLost(job)) // what made the read fail
                return {Kind::ReadFailed, std::nullopt, lost};
            return {Kind::ReadFailed, ReadFailure(core, lTrack, n)};
        }
        if (sums)
            sums->add(buffer.constData(), n);
        loudness.add(buffer.constData(), n);
        if (deEmphasis) // after the checksums and the meter took their copies
            deEmphasis->process(reinterpret_cast<std::int16_t*>(buffer.data()), std::size_t(n) / 4);
        if (auto failure = sink.append(buffer.constData(), n))
            return {Kind::WriteFailed, failure};
        copied = true;
        job.progress(
            DoneFraction(core.BASS_StreamGetLength(stream), core.BASS_ChannelGetPosition(stream)));
    }
    // A stop that came after the last block still leaves the whole track.
    if (end != Kind::Ripped && core.BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED)
        end = Kind::Ripped;
    if (job.reading != nullptr)
        job.reading->wholeTrack = end == Kind::Ripped;
    if (end == Kind::Ripped)
        loudness.readWhole();
    if (sums)
        sums->finish();
    if (auto failure = sink.finish())
        return {Kind::WriteFailed, failure};
    return {end, std::nullopt};
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

} // namespace

TrackOutcome ExtractTrack(const RipContext& job, int lTrack, TrackSink& sink,
                          const OpenSink& open) {
    if (std::optional<QString> lost = DiscLost(job))
        return Lost(job, *lost);
    const DWORD stream =
        job.bass.cd.BASS_CD_StreamCreate(job.drive, static_cast<DWORD>(lTrack), job.readFlags);
    if (stream == 0) {
        if (std::optional<QString> lost = DiscLost(job))
            return Lost(job, *lost);
        return NoStream(job);
    }
    const StreamHandle held(job.bass.core, stream);
    CopyEnd end;
    if (auto failure = open(stream))
        end = {Kind::WriteFailed, failure};
    else
        end = CopyTrack(job.bass.core, sink, stream, lTrack, job);
    if (end.discLost)
        return Lost(job, *end.discLost);
    if (end.failure) {
        ShowError(job.dialogs, job.boxOwner, QStringLiteral("frmDemo"), job.routine(),
                  end.failure->number, end.failure->description);
        return TrackOutcome::Of(end.kind, end.failure->description);
    }
    if (end.kind == Kind::Ripped)
        if (const std::optional<QString> damage = ReportDamage(job, stream, lTrack))
            return TrackOutcome::Of(Kind::ReadFailed, *damage);
    return TrackOutcome::Of(end.kind);
}
