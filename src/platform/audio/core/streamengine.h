#pragma once

#include "common/audiolibrary.h"
#include "platform/audio/core/pcmsource.h"

#include <memory>
#include <optional>

// The core's stream machinery as the CD extension sees it: it turns a PCM
// source into a stream handle (playback or decode-only by the flags).
class StreamEngine {
public:
    virtual ~StreamEngine() = default;

    // flags: BASS_STREAM_DECODE, BASS_STREAM_AUTOFREE. owner tags the stream with the drive
    // it reads from, so BASS_CD_FREEOLD can free that drive's previous stream. Returns 0 and
    // sets the last error on failure.
    virtual HSTREAM createStream(std::unique_ptr<PcmSource> source, DWORD flags, int owner) = 0;

    // Frees every stream whose owner is the given drive (BASS_CD_FREEOLD).
    virtual void freeStreamsOf(int owner) = 0;

    // What the stream's source had to patch over so far; nothing when the handle is not a
    // stream. Waits for a read of that stream in progress.
    virtual std::optional<SectorDamage> damageOf(HSTREAM handle) = 0;
};
