#include "rip/trackextraction.h"

#include "common/dialogs.h"
#include "common/errorreporting.h"
#include "common/modbass.h"
#include "common/product.h"
#include "rip/blockpump.h"
#include "rip/checksumthread.h"
#include "rip/discwatch.h"
#include "rip/extractionresources.h"
#include "rip/trackreading.h"

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

// The blocks, then the sink finished. Ripped when the track's length was read; a stop ends it
// early with a valid, shorter file.
CopyEnd CopyTrack(BassCore& core, TrackSink& sink, DWORD stream, const DiscTrack& track,
                  const RipContext& job) {
    std::optional<ChecksumThread> sums;
    if (job.reading != nullptr && job.reading->checksums)
        sums.emplace(*job.reading->checksums);
    const auto length = qint64(core.BASS_StreamGetLength(stream));
    if (job.reading != nullptr)
        job.reading->bytes = length;
    std::optional<QString> lost;
    std::optional<RipFailure> writeFailure;
    const PumpEnd pumped = PumpBlocks({length, [&] { return job.control.waitWhilePaused(); },
                                       [&](char* data, int size) {
                                           if ((lost = DiscLost(job)))
                                               return -1;
                                           const int n =
                                               core.BASS_ChannelGetData(stream, data, DWORD(size));
                                           if (n <= 0)
                                               lost = DiscLost(job); // what made the read fail
                                           return n;
                                       },
                                       [&](const char* data, int n) {
                                           if (sums)
                                               sums->add(data, n);
                                           writeFailure = sink.append(data, n);
                                           return !writeFailure;
                                       },
                                       job.progress});
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
    if (sums)
        sums->finish();
    if (auto failure = sink.finish())
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

} // namespace

TrackOutcome ExtractTrack(const RipContext& job, const DiscTrack& track, TrackSink& sink,
                          const OpenSink& open) {
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
    if (auto failure = open(stream))
        end = {Kind::WriteFailed, failure, std::nullopt};
    else
        end = CopyTrack(job.bass.core, sink, stream, track, job);
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
