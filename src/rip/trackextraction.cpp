#include "rip/trackextraction.h"

#include "common/dialogs.h"
#include "common/errorreporting.h"
#include "common/modbass.h"
#include "common/product.h"
#include "rip/checksumthread.h"
#include "rip/extractionresources.h"
#include "rip/trackreading.h"

namespace {

constexpr DWORD kBlockBytes = 262144;

struct CopyOutcome {
    bool complete = false;
    std::optional<RipFailure> failure;
};

CopyOutcome Failed(RipFailure failure) {
    return {false, std::move(failure)};
}

// The blocks, then the sink finished. Complete when the decoder reached the end of the track; a
// stop request ends it early with a valid, shorter file.
CopyOutcome CopyTrack(BassCore& core, TrackSink& sink, DWORD stream, int lTrack,
                      const RipContext& job) {
    QByteArray buffer;
    bool complete = false;
    std::optional<ChecksumThread> sums;
    if (job.reading != nullptr && job.reading->checksums)
        sums.emplace(*job.reading->checksums);
    for (;;) {
        if (core.BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED) {
            complete = true;
            break;
        }
        // A short block must not leave the next read a smaller buffer than it asks to fill.
        buffer.resize(kBlockBytes);
        const int n = core.BASS_ChannelGetData(stream, buffer.data(), kBlockBytes);
        if (n <= 0)
            return Failed(ReadFailure(core, lTrack, n));
        if (sums)
            sums->add(buffer.constData(), n);
        if (auto failure = sink.append(buffer.constData(), n))
            return Failed(*failure);
        job.progress(
            DoneFraction(core.BASS_StreamGetLength(stream), core.BASS_ChannelGetPosition(stream)));
        if (job.stopRequested) {
            // A stop that came after the last block still leaves the whole track.
            complete = core.BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED;
            break;
        }
    }
    if (job.reading != nullptr)
        job.reading->wholeTrack = complete;
    if (sums)
        sums->finish();
    if (auto failure = sink.finish())
        return Failed(*failure);
    return {complete, std::nullopt};
}

// The track's decode stream, freed however the extraction ends.
class StreamHandle {
public:
    StreamHandle(BassCore& core, DWORD stream) : m_core(core), m_stream(stream) {}
    StreamHandle(const StreamHandle&) = delete;
    StreamHandle& operator=(const StreamHandle&) = delete;
    ~StreamHandle() {
        if (m_stream == 0)
            return;
        m_core.BASS_ChannelStop(m_stream);
        m_core.BASS_StreamFree(m_stream);
    }

private:
    BassCore& m_core;
    DWORD m_stream;
};

} // namespace

bool ExtractTrack(const RipContext& job, int lTrack, TrackSink& sink, const OpenSink& open) {
    const DWORD stream =
        job.bass.cd.BASS_CD_StreamCreate(job.drive, static_cast<DWORD>(lTrack), kDecodeStreamFlags);
    if (stream == 0) {
        job.dialogs.showMessage(job.boxOwner, QStringLiteral("Unable to Create CD Stream!"),
                                kProductName, MessageIcon::None, MessageButtons::Ok);
        return false;
    }
    const StreamHandle held(job.bass.core, stream);
    CopyOutcome outcome;
    if (auto failure = open(stream))
        outcome = Failed(*failure);
    else
        outcome = CopyTrack(job.bass.core, sink, stream, lTrack, job);
    if (outcome.failure)
        ShowError(job.dialogs, job.boxOwner, QStringLiteral("frmDemo"),
                  QStringLiteral("ExtractAudioTrack"), outcome.failure->number,
                  outcome.failure->description);
    return outcome.complete && !ReportDamage(job, stream, lTrack);
}
