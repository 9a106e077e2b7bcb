#pragma once

#include "common/audiolibrary.h"
#include "platform/audio/core/attributeramp.h"
#include "platform/audio/core/bytering.h"
#include "platform/audio/core/datatap.h"
#include "platform/audio/core/pcmsource.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// Events a stream raises for the sync dispatcher (bit set in PlayState::events).
enum StreamEvent : unsigned {
    kEventEnd = 1u << 0,
    kEventSlideDone = 1u << 1,
    kEventReadError = 1u << 2,
};

// What the output side knows of a stream. Guarded by the mixer's lock, which
// is only ever held for copies and arithmetic, never across a source read.
struct PlayState {
    DWORD active = BASS_ACTIVE_STOPPED;
    ByteRing ring;              // read-ahead of a playback stream
    std::uint64_t position = 0; // playback: bytes heard; decode: bytes delivered
    bool sourceEnded = false;   // the reader met the end of the source
    bool readFailed = false;    // the reader met a read error
    int readError = BASS_OK;    // its code
    float volume = 100;         // 0..100
    float pan = 0;              // -100..100
    AttributeRamp volumeRamp;
    AttributeRamp panRamp;
    unsigned events = 0; // StreamEvent bits not yet handed to the dispatcher
};

struct SyncEntry {
    HSYNC handle = 0;
    DWORD type = 0;
    SYNCPROC* proc = nullptr;
    void* user = nullptr;
};

// One stream: its PCM source and its state. Shared between the engine, the mixer
// and the reader thread; each part of it names the lock that guards it.
class Stream {
public:
    Stream(HSTREAM handle, std::unique_ptr<PcmSource> source, DWORD flags, int owner,
           std::size_t ringBytes);

    HSTREAM handle() const { return m_handle; }
    DWORD flags() const { return m_flags; }
    int owner() const { return m_owner; }
    std::uint64_t length() const { return m_length; }
    bool isDecode() const { return (m_flags & BASS_STREAM_DECODE) != 0; }
    bool autoFree() const { return (m_flags & BASS_STREAM_AUTOFREE) != 0; }

    // Held across every read and seek of the source; null once the stream is freed.
    std::mutex& sourceMutex() { return m_sourceMutex; }
    PcmSource* source() { return m_freed ? nullptr : m_source.get(); }
    // Marks the stream freed without waiting: the source closes now when no read holds it,
    // otherwise with the stream, once the thread stuck in a slow disc read lets go of it.
    void releaseSource();
    // Receives what the reader of a decode stream gets (an encoder); guarded by the source lock.
    std::shared_ptr<DataTap> tap;

    PlayState play;               // guarded by the mixer's lock
    std::vector<SyncEntry> syncs; // guarded by the engine's lock

private:
    const HSTREAM m_handle;
    const DWORD m_flags;
    const int m_owner;
    const std::uint64_t m_length;
    std::mutex m_sourceMutex;
    std::unique_ptr<PcmSource> m_source;
    std::atomic<bool> m_freed{false};
};
