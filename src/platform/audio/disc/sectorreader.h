#pragma once

#include "platform/audio/core/sectordamage.h"

#include <cdio/types.h>

#include <cstdint>

// Where a drive track's sectors come from: libcdio-paranoia on the drive, or a
// test's stand-in. Used by one thread at a time.
class SectorReader {
public:
    virtual ~SectorReader() = default;

    // The 2352 bytes of the sector at the read position, in host order, valid until the
    // next call; the position then moves on. Null on a read error.
    virtual const std::int16_t* readSector() = 0;
    virtual void seek(lsn_t sector) = 0;
    virtual SectorDamage damage() const = 0;
};
