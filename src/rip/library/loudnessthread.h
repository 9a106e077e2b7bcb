#pragma once

// Measures the loudness of every track a rip reads, on a thread of its own: the measurement costs
// many times what the checksums cost, and the reader must not wait for it. The reader hands over
// copies of its blocks; whoever needs a track's loudness (its encoder, the album at the job's end)
// waits for that track alone. Only a measurement far behind the reader holds it back, which keeps
// memory bounded.

#include "metadata/replaygain.h"

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class LoudnessThread {
public:
    LoudnessThread();
    LoudnessThread(const LoudnessThread&) = delete;
    LoudnessThread& operator=(const LoudnessThread&) = delete;
    ~LoudnessThread();

    // A read of the track starts: what an earlier read of it measured is dropped.
    void begin(int lTrack);
    void add(int lTrack, const char* data, qsizetype n);
    // The read ended; whole when it reached the track's end.
    void end(int lTrack, bool whole);

    // Waits until the track's last read is measured: its loudness, none when it was not read
    // whole (or never read).
    std::optional<Loudness> track(int lTrack);
    // Waits for the tracks given: the album over those read whole; none when none was.
    std::optional<Loudness> album(const std::vector<int>& tracks);

private:
    enum class Step { Begin, Data, End };
    struct Item {
        int track = 0;
        Step step = Step::Data;
        QByteArray block;
        bool whole = false;
    };
    struct Measured {
        LoudnessMeter meter;
        int readsOpen = 0; // begun and not yet measured to their end
        bool whole = false;
    };
    void post(Item item);
    void run();
    void waitFor(std::unique_lock<std::mutex>& lock, int lTrack);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Item> m_waiting;
    qint64 m_waitingBytes = 0;
    std::map<int, Measured> m_tracks;
    bool m_closed = false;
    std::jthread m_thread;
};

// One read's blocks into the loudness thread, ended however the read ends; nothing is measured
// without a thread.
class LoudnessFeed {
public:
    LoudnessFeed(LoudnessThread* thread, int lTrack);
    LoudnessFeed(const LoudnessFeed&) = delete;
    LoudnessFeed& operator=(const LoudnessFeed&) = delete;
    ~LoudnessFeed();

    void add(const char* data, qsizetype n) {
        if (m_thread != nullptr)
            m_thread->add(m_track, data, n);
    }
    void readWhole() { m_whole = true; }

private:
    LoudnessThread* m_thread;
    int m_track;
    bool m_whole = false;
};
