#pragma once

#include "platform/audio/disc/cddrive.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// One reading of a disc's subcode, on a thread of its own, for the disc a drive held at a count
// of its disc changes. Any thread may look for the answer or wait for it. Destroying the job asks
// the reading to stop and waits for it to end.
class SubcodeJob {
public:
    SubcodeJob(SubcodeReader reader, DWORD discChanges);
    SubcodeJob(const SubcodeJob&) = delete;
    SubcodeJob& operator=(const SubcodeJob&) = delete;

    DWORD discChanges() const { return m_discChanges; }
    bool done() const;
    // The answer; with wait false, nothing while the reading goes on.
    std::optional<SubcodeAnswer> answer(bool wait) const;

private:
    const DWORD m_discChanges;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_ready;
    std::optional<SubcodeAnswer> m_answer;
    std::jthread m_thread; // last: it starts once everything it touches exists
};
