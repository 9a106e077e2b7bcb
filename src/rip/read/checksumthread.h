#pragma once

// Sums a track's audio on a thread of its own while the reader goes on reading and writing:
// the checksums cost as much as the copy itself, and the disk need not wait for them. At most
// a few blocks wait, so memory stays bounded.

#include "verify/trackchecksums.h"

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class ChecksumThread {
public:
    explicit ChecksumThread(TrackChecksums& checksums);
    ChecksumThread(const ChecksumThread&) = delete;
    ChecksumThread& operator=(const ChecksumThread&) = delete;
    ~ChecksumThread(); // finish()

    // A copy of the block is summed later; waits while enough blocks wait already.
    void add(const char* data, qsizetype n);
    // Returns when every block added has been summed.
    void finish();

private:
    void run();

    TrackChecksums& m_checksums;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<QByteArray> m_waiting;
    std::vector<QByteArray> m_free; // summed blocks, to be filled again
    bool m_closed = false;
    std::jthread m_thread;
};
