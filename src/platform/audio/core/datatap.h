#pragma once

#include <chrono>
#include <cstddef>

// Takes every byte a decode stream delivers to its reader, in order (an encoder
// fed from the stream). The stream engine calls it under the stream's source
// lock, so there is one producer at a time.
class DataTap {
public:
    virtual ~DataTap() = default;

    // The bytes the tap can take now, after waiting at most maxWait for room for
    // wanted bytes; -1 once the tap takes nothing more (error() tells why).
    virtual long room(std::size_t wanted, std::chrono::milliseconds maxWait) = 0;
    // Hands over n bytes, at most what room() last returned.
    virtual void deliver(const char* data, std::size_t n) = 0;
    virtual int error() const = 0;
    // The stream is gone: nothing more will come.
    virtual void close() = 0;
};
