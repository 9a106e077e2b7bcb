#include "platform/audio/disc/shiftedtrack.h"

#include "platform/audio/core/paddedsource.h"

#include <algorithm>

namespace {
constexpr std::uint64_t kSampleBytes = 4;
}

OffsetRead PlanShiftedTrack(const DiscToc& toc, int track, qint64 trackSamples, int readOffset) {
    const bool hidden = track < 0;
    track = std::max(track, 0);
    qsizetype first = track;
    while (first > 0 && toc.tracks[first - 1].audio)
        --first;
    qsizetype last = track;
    while (last + 1 < toc.tracks.size() && toc.tracks[last + 1].audio)
        ++last;
    // Before the first track lies the disc's start, whatever the first track's own start.
    const qint64 runStart = first == 0 ? 0 : qint64(toc.tracks[first].lsn) * kSamplesPerSector;
    const qint64 runEnd = qint64(TrackEnd(toc, last)) * kSamplesPerSector;
    const qint64 trackStart = hidden ? 0 : qint64(toc.tracks[track].lsn) * kSamplesPerSector;
    OffsetRead plan =
        PlanOffsetRead(trackStart - runStart, trackSamples, runEnd - runStart, readOffset);
    plan.firstSample += runStart;
    return plan;
}

std::unique_ptr<PcmSource> OpenShiftedTrack(const OffsetRead& plan, const SectorSpanOpener& open) {
    PaddedSource::Layout layout{std::uint64_t(plan.silenceBefore) * kSampleBytes, 0,
                                std::uint64_t(plan.samples) * kSampleBytes,
                                std::uint64_t(plan.silenceAfter) * kSampleBytes};
    std::unique_ptr<PcmSource> inner;
    if (plan.samples > 0) {
        const auto firstSector = qint32(plan.firstSample / kSamplesPerSector);
        const auto endSector =
            qint32((plan.firstSample + plan.samples + kSamplesPerSector - 1) / kSamplesPerSector);
        inner = open(firstSector, endSector - firstSector);
        if (!inner)
            return nullptr;
        layout.skip = std::uint64_t(plan.firstSample % kSamplesPerSector) * kSampleBytes;
    }
    return std::make_unique<PaddedSource>(std::move(inner), layout);
}
