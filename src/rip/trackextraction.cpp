#include "rip/trackextraction.h"

#include "common/dialogs.h"
#include "common/errorreporting.h"
#include "common/product.h"
#include "rip/extractionresources.h"

namespace {

constexpr DWORD kBlockBytes = 20000;

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
                      const bool& stopRequested, const std::function<void(DWORD)>& afterBlock) {
    QByteArray buffer;
    bool complete = false;
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
        if (auto failure = sink.append(buffer.constData(), n))
            return Failed(*failure);
        afterBlock(stream);
        if (stopRequested) {
            // A stop that came after the last block still leaves the whole track.
            complete = core.BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED;
            break;
        }
    }
    if (auto failure = sink.finish())
        return Failed(*failure);
    return {complete, std::nullopt};
}

} // namespace

bool ExtractTrack(const RipContext& job, int lTrack, TrackSink& sink, const OpenSink& open) {
    ExtractionResources held(job);
    const DWORD stream =
        job.bass.cd.BASS_CD_StreamCreate(job.drive, static_cast<DWORD>(lTrack), kDecodeStreamFlags);
    if (stream == 0) {
        job.dialogs.showMessage(job.boxOwner, QStringLiteral("Unable to Create CD Stream!"),
                                kProductName, MessageIcon::None, MessageButtons::Ok);
        return false;
    }
    held.adoptStream(stream);
    CopyOutcome outcome;
    if (auto failure = open(stream))
        outcome = Failed(*failure);
    else
        outcome =
            CopyTrack(job.bass.core, sink, stream, lTrack, job.stopRequested, job.blockWritten);
    if (outcome.failure)
        ShowError(job.dialogs, job.boxOwner, QStringLiteral("frmDemo"),
                  QStringLiteral("ExtractAudioTrack"), outcome.failure->number,
                  outcome.failure->description);
    return outcome.complete && !ReportDamage(job, stream, lTrack);
}
