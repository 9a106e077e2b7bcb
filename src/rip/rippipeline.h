#pragma once

// The rip's reading pipeline: one reader on a thread of its own reads every requested track
// once, in order, at the drive's speed. A WAV track goes straight into its file; a track of any
// other format goes into the spool, and up to K encoders turn spooled tracks into files while
// the reader goes on. Every requested track ends with exactly one outcome. Nothing here touches
// the window: what happens is told through Events, from the reader's and the encoders' threads.

#include "rip/encoderpool.h"
#include "rip/ripcontext.h"
#include "rip/ripoutput.h"
#include "rip/ripspool.h"
#include "rip/trackoutcome.h"
#include "rip/trackreading.h"

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

class StagedFile;

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
    void readTrack(int lTrack);
    // The listed disc could not be read on while track lTrack was read: said once, and no
    // further track is read.
    void discLost(int lTrack, const QString& reason);
    void spoolTrack(int lTrack, const RipOutput& output, RipContext& reader);
    void encodeTrack(int lTrack, const RipOutput& output, const QString& spooled, qint64 bytes);
    // One format's file of the spooled track, checked, tagged and named.
    TrackOutcome encodeFile(int lTrack, const RipOutput& output, const QString& spooled,
                            const RipContext& encoder);
    // Whether the track can be ripped in this output at all; the reason told when it cannot.
    std::optional<TrackOutcome> cannotRip(const RipOutput& output);
    // The file is checked before it takes its name; one that fails is the encoder's failure.
    void check(const RipOutput& output, const StagedFile& file, qint64 samples,
               TrackOutcome& outcome);
    // Gives the file its final name when its outcome keeps it.
    void keep(StagedFile& file, TrackOutcome& outcome);
    void decide(int lTrack, const TrackOutcome& outcome);
    void enterEncoders(int lTrack);
    void updateEncoder(int lTrack, const AtEncoder& state);
    void leaveEncoders(int lTrack);
    void tellEncoders(); // m_mutex held
    TrackReading readingFor(int lTrack) const;
    QString fileNameOf(int lTrack) const;
    void tag(int lTrack, const RipOutput& output, const StagedFile& file);
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
