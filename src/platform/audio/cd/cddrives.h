#pragma once

#include "platform/audio/disc/cddrive.h"

#include <memory>
#include <string>
#include <vector>

// The disc images shown as virtual drives: the paths in MIVO_DISC_IMAGES
// (separated by ':') or, when it is not set, the *.cue and *.toc sheets in the
// data folder's discs/ folder, sorted by name.
std::vector<std::string> DiscImagePaths(const std::string& dataFolder);

// The paths in MIVO_CDIO_DEVICES (separated by ':'), which libcdio opens itself as drives:
// device nodes, or CUE/BIN, cdrdao TOC and NRG images read by libcdio's own image drivers.
std::vector<std::string> CdioDevicePaths();

// The device node the system names a drive by (symbolic links followed), so that a drive
// found at start and one that udev reports later are known as the same.
std::string DeviceNode(const std::string& path);

struct ListedDrive {
    std::string node; // the device node; empty for a disc image
    std::unique_ptr<CdDrive> drive;
};

// The drives in the extension's order: the optical drives libcdio finds, the paths of
// MIVO_CDIO_DEVICES, then one virtual drive per disc image.
std::vector<ListedDrive> ListCdDrives(const std::string& dataFolder);
