#pragma once

// One track's file, from its name to its keeping: the output (path, format and name) the track
// is ripped with, the hidden name it is written under, the check before it takes its final
// name, its tags, and the final name when its outcome keeps it. The reader and the encoders hand
// it what they wrote; it decides what stays.

#include "common/disctoc.h"
#include "rip/files/ripoutput.h"
#include "rip/step/ripcontext.h"
#include "rip/step/trackoutcome.h"

#include <functional>
#include <optional>

class RipSpool;
class StagedFile;

class TrackOutput {
public:
    // The folders the file name asks for are made in the spool's care. job and toc outlive it.
    TrackOutput(const RipContext& job, const DiscToc& toc, const DiscTrack& track, RipSpool& spool);
    // The same track in another output: the second format made from the same reading.
    TrackOutput(const TrackOutput& first, RipOutput other);

    const DiscTrack& track() const { return m_track; }
    const RipOutput& output() const { return m_output; }

    // Why the track cannot be ripped in this output at all, the reason told; none when it can.
    std::optional<TrackOutcome> refusal() const;

    // Has write make the file under its hidden name, then checks, tags and keeps it.
    TrackOutcome write(const std::function<WrittenTrack(const StagedFile&)>& write) const;

private:
    void check(const StagedFile& file, qint64 samples, TrackOutcome& outcome) const;
    void tag(const StagedFile& file) const;
    void keep(StagedFile& file, TrackOutcome& outcome) const;

    const RipContext& m_job;
    const DiscToc& m_toc;
    DiscTrack m_track;
    RipOutput m_output;
};
