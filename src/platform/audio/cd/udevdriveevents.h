#pragma once

#include "platform/audio/cd/driveevents.h"

#include <memory>

struct udev;
struct udev_monitor;

// Optical drives added and removed, from udev's monitor: the block disks udev has set up
// (ID_CDROM for one that comes; any disk that goes, which the drive list ignores unless it
// lists that node).
class UdevDriveEvents final : public DriveEventSource {
public:
    // Null when udev's monitor cannot be had (no netlink socket, as in some containers):
    // the drives listed at start then stay as they are.
    static std::unique_ptr<UdevDriveEvents> open();
    ~UdevDriveEvents() override;

    int fd() const override;
    std::vector<DriveEvent> take() override;

private:
    UdevDriveEvents(udev* context, udev_monitor* monitor);

    udev* m_udev;
    udev_monitor* m_monitor;
};
