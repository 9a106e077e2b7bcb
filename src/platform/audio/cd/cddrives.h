#pragma once

#include "platform/audio/disc/cddrive.h"

#include <memory>
#include <string>
#include <vector>

// The disc images shown as virtual drives: the paths in MIVO_DISC_IMAGES
// (separated by ':') or, when it is not set, the *.cue and *.toc sheets in the
// data folder's discs/ folder, sorted by name.
std::vector<std::string> DiscImagePaths(const std::string& dataFolder);

// The drives in the extension's order: the optical drives libcdio finds, then
// one virtual drive per disc image.
std::vector<std::unique_ptr<CdDrive>> ListCdDrives(const std::string& dataFolder);
