#pragma once

#include "rip/ripcontext.h"

// What one extraction holds: the door locked for it, the decode stream and the disabled main
// window. However the extraction ends, the destructor gives it all back: the door to the lock
// state the user had, the stream freed, the window usable.
class ExtractionResources {
public:
    explicit ExtractionResources(const RipContext& job);
    ExtractionResources(const ExtractionResources&) = delete;
    ExtractionResources& operator=(const ExtractionResources&) = delete;
    ~ExtractionResources();

    // The extraction's decode stream; the window stays disabled while it runs.
    void adoptStream(DWORD stream);
    void freeStream();

private:
    const RipContext& m_job;
    bool m_wasLocked;
    DWORD m_stream = 0;
};

// True (and the user told) when the drive could not read the track of stream exactly: sectors
// patched over or reads that failed. Such a copy is not counted as ripped.
bool ReportDamage(const RipContext& job, DWORD stream, int lTrack);
