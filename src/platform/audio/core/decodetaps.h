#pragma once

#include "common/audiolibrary.h"
#include "platform/audio/core/datatap.h"

#include <cstdint>
#include <memory>

// The core's decode streams as the encoder extension sees them: a tap attached
// to a stream receives what BASS_ChannelGetData delivers from it.
class DecodeTaps {
public:
    virtual ~DecodeTaps() = default;

    // BASS_OK when a tap can be attached to handle (a decode stream without one),
    // with the bytes the stream has still to deliver; otherwise the error code.
    virtual int tapCandidate(HSTREAM handle, std::uint64_t& bytesLeft) = 0;
    virtual int attachTap(HSTREAM handle, std::shared_ptr<DataTap> tap) = 0;
    // From now on the stream's data goes to its reader alone.
    virtual void detachTap(HSTREAM handle) = 0;
};
