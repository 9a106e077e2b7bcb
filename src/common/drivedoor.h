#pragma once

// The lock of the chosen drive's door, as a rip holds it: locked while tracks are read, then
// back to what the user had.
class DriveDoor {
public:
    virtual ~DriveDoor() = default;
    virtual bool isLocked() const = 0;
    virtual void setLocked(bool locked) = 0;
};
