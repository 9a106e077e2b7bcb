#pragma once

// What a careful read of a real disc had to give up on: sectors paranoia could
// not verify and patched over (skips), and reads the drive failed outright.
struct SectorDamage {
    unsigned skippedSectors = 0;
    unsigned readErrors = 0;

    bool any() const { return skippedSectors != 0 || readErrors != 0; }
};
