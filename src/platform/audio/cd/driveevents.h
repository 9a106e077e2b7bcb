#pragma once

#include <string>
#include <vector>

// An optical drive that came or went while the program runs (a USB drive plugged in or out).
struct DriveEvent {
    enum class Kind { Added, Removed };
    Kind kind;
    std::string node; // the device node, as the system names it ("/dev/sr1")
};

// Where such events come from: udev's monitor, or a test's stand-in. One thread at a time.
class DriveEventSource {
public:
    virtual ~DriveEventSource() = default;

    // Becomes readable when events wait.
    virtual int fd() const = 0;
    // The events that wait, oldest first; never blocks.
    virtual std::vector<DriveEvent> take() = 0;
};
