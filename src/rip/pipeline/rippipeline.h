#pragma once

// The rip's reading pipeline: one reader on a thread of its own reads every requested track
// once, in order, at the drive's speed. A WAV track goes straight into its file; a track of any
// other format goes into the spool, and up to K encoders turn spooled tracks into files while
// the reader goes on. Every requested track ends with exactly one outcome. Nothing here touches
// the window: what happens is told through Events, from the reader's and the encoders' threads.

#include "common/disctoc.h"
#include "rip/files/ripoutput.h"
#include "rip/files/ripspool.h"
#include "rip/pipeline/encoderpool.h"
#include "rip/step/ripcontext.h"
#include "rip/step/trackoutcome.h"
#include "rip/step/trackreading.h"

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

class TrackOutput;

class RipPipeline {
public:
    struct Events {
        std::function<void(int number)> trackStarted; // reading the disc's track number
        std::function<void(float done)> readProgress; // of the track being read
        std::function<void(int lTrack, const TrackReading&)> trackRead; // and what was learned
        // The tracks at an encoder or waiting for one, and how far they are together (0 to 1).
        std::function<void(int left, float done)> encoders;
        // How a requested track's work ended; once for every requested track.
        std::function<void(int lTrack, const TrackOutcome&)> trackEnded;
        std::function<void()> readingDone; // the last track has been read, or the disc was lost
        std::function<void()> finished;    // every thread has ended; the last event
    };

    // job: what every extraction and encoder gets (its progress is set here per track); the
    // files take the names job.fileNames gives them. toc: the disc's, for the checksums' first
    // and last audio tracks; empty when not known.
    RipPipeline(const RipContext& job, const DiscToc& toc, std::vector<int> tracks, int encoders,
                Events events);
    ~RipPipeline(); // waits for the reader and the encoders

    void start();
    // The job's stop is set: tracks waiting for an encoder are dropped and no longer counted.
    void stop();

private:
    struct AtEncoder {
        bool running = false;
        float done = 0;
    };

    void readTracks();
    void readTrack(const DiscTrack& track);
    void tellRead(const DiscTrack& track, const TrackReading& reading);
    // The listed disc could not be read on while the track was read: said once, and no
    // further track is read.
    void discLost(const DiscTrack& track, const QString& reason);
    void spoolTrack(const TrackOutput& output, RipContext& reader);
    void encodeTrack(const TrackOutput& output, const QString& spooled, qint64 bytes);
    void decide(int lTrack, const TrackOutcome& outcome);
    void enterEncoders(const DiscTrack& track);
    void updateEncoder(const DiscTrack& track, const AtEncoder& state);
    void leaveEncoders(const DiscTrack& track);
    void tellEncoders(); // m_mutex held
    RipContext contextFor(const RipOutput& output, std::function<void(float)> progress) const;

    RipContext m_job;
    DiscToc m_toc;
    std::vector<int> m_tracks;
    Events m_events;
    RipSpool m_spool;
    std::optional<QString> m_discLost; // the reader's only
    std::mutex m_mutex;                // guards the two below, and orders the encoders' events
    std::map<int, AtEncoder> m_atEncoders;
    std::set<int> m_decided;
    EncoderPool m_encoders;
    std::jthread m_reader; // last: it ends first
};
