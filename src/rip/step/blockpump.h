#pragma once

// Moves a track's audio from where it is read to where it goes, a block at a time. One rule
// ends it for every reader: the track ends at its length; a read that gives nothing, or fails,
// before it is a failed read, never an early end.

#include <QtGlobal>

#include <functional>

struct PumpSides {
    qint64 length = 0;                             // the track's bytes
    std::function<bool()> stop;                    // asked before every block; true ends the pump
    std::function<int(char* data, int size)> read; // bytes read, 0 or less when it fails
    // Takes what was read; false when it failed (and said why on its own side). None: the
    // reader hands the audio on itself.
    std::function<bool(const char* data, int n)> write;
    std::function<void(float done)> progress; // 0 to 1 of the track
};

struct PumpEnd {
    enum class Kind { Whole, Stopped, ReadFailed, WriteFailed };
    Kind kind = Kind::Whole;
    qint64 bytes = 0; // read and written
    int lastRead = 0; // what the failed read gave: nothing (0) or an error (less)
};

PumpEnd PumpBlocks(const PumpSides& sides);
