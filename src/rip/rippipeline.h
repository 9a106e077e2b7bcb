#pragma once

// The rip's reading pipeline: one reader on a thread of its own reads every requested track
// once, in order, at the drive's speed. A WAV track goes straight into its file; a track of any
// other format goes into the spool, and up to K encoders turn spooled tracks into files while
// the reader goes on. Nothing here touches the window: what happens is told through Events,
// from the reader's and the encoders' threads.

#include "metadata/trackfilename.h"
#include "rip/encoderpool.h"
#include "rip/ripcontext.h"
#include "rip/ripoutput.h"
#include "rip/ripspool.h"
#include "rip/trackreading.h"

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

class StagedFile;

class RipPipeline {
public:
    struct Events {
        std::function<void(int number)> trackStarted; // reading the disc's track number
        std::function<void(float done)> readProgress; // of the track being read
        std::function<void(int lTrack, const TrackReading&)> trackRead; // and what was learned
        std::function<void(int lTrack)> trackQueued;                    // read into the spool
        std::function<void(int lTrack, float done)> encoding;           // how far its encoder is
        std::function<void(int lTrack)> trackEncoded;                   // its encoder has ended
        // Its file took its final name: complete, or shorter after a stop.
        std::function<void(int lTrack, const QString& file, bool complete)> trackKept;
        std::function<void()> readingDone; // the last track has been read
        std::function<void()> finished;    // every thread has ended
    };

    // job: what every extraction and encoder gets (its progress is set here per track). toc: the
    // disc's, for the checksums' first and last audio tracks; empty when not known.
    RipPipeline(const RipContext& job, const DiscToc& toc, std::vector<int> tracks, int encoders,
                Events events);
    ~RipPipeline(); // waits for the reader and the encoders

    void start();
    // The job's stop flag is set: tracks waiting for an encoder are dropped.
    void stop() { m_encoders.stop(); }
    // Tracks whose file is complete under its final name.
    int ripped() const { return m_ripped; }

private:
    void readTracks();
    void readTrack(int lTrack);
    void encodeTrack(int lTrack, const RipOutput& output, const QString& spooled);
    // Gives the file its final name when it is complete, or shorter but valid after a stop.
    void keep(int lTrack, StagedFile& file, bool complete);
    TrackReading readingFor(int lTrack) const;
    QString fileNameOf(int lTrack);
    void tag(int lTrack, const RipOutput& output, const StagedFile& file);
    RipContext contextWith(std::function<void(float)> progress) const;

    RipContext m_job;
    DiscToc m_toc;
    std::vector<int> m_tracks;
    Events m_events;
    RipSpool m_spool;
    std::atomic<int> m_ripped{0};
    UniqueFileNames m_names; // the reader's only
    EncoderPool m_encoders;
    std::jthread m_reader; // last: it ends first
};
