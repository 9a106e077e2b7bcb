#include "platform/audio/cd/udevdriveevents.h"

#include <libudev.h>

#include <cstring>

namespace {

bool Is(const char* value, const char* expected) {
    return value != nullptr && std::strcmp(value, expected) == 0;
}

struct UdevDeviceDeleter {
    void operator()(udev_device* device) const { udev_device_unref(device); }
};
using UdevDeviceHandle = std::unique_ptr<udev_device, UdevDeviceDeleter>;

} // namespace

std::unique_ptr<UdevDriveEvents> UdevDriveEvents::open() {
    udev* context = udev_new();
    if (context == nullptr)
        return nullptr;
    // Events from udev itself, after its rules have named the drive (ID_CDROM).
    udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
    if (monitor == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor, "block", "disk") < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        udev_monitor_unref(monitor);
        udev_unref(context);
        return nullptr;
    }
    return std::unique_ptr<UdevDriveEvents>(new UdevDriveEvents(context, monitor));
}

UdevDriveEvents::UdevDriveEvents(udev* context, udev_monitor* monitor)
    : m_udev(context), m_monitor(monitor) {}

UdevDriveEvents::~UdevDriveEvents() {
    udev_monitor_unref(m_monitor);
    udev_unref(m_udev);
}

int UdevDriveEvents::fd() const {
    return udev_monitor_get_fd(m_monitor);
}

// The monitor's socket does not block: receiving stops at the first empty read.
std::vector<DriveEvent> UdevDriveEvents::take() {
    std::vector<DriveEvent> events;
    while (UdevDeviceHandle device{udev_monitor_receive_device(m_monitor)}) {
        const char* action = udev_device_get_action(device.get());
        const char* node = udev_device_get_devnode(device.get());
        if (node == nullptr)
            continue;
        if (Is(action, "add") && Is(udev_device_get_property_value(device.get(), "ID_CDROM"), "1"))
            events.push_back({DriveEvent::Kind::Added, node});
        else if (Is(action, "remove"))
            events.push_back({DriveEvent::Kind::Removed, node});
    }
    return events;
}
