#pragma once

#include "platform/audio/disc/cddrive.h"

#include <cdio/cdio.h>

// Reads the index points, ISRCs, flags and catalog number of the disc libcdio opens at path, on a
// handle of its own, and whether the audio before the first track is more than silence. A drive
// is asked once per track for its ISRC, which can take a while; stop ends the reading early.
// libcdio knows the pregaps of the images it reads (from INDEX 00 or START); a drive does not
// tell them (pregapsKnown false): they are then "not detected", never guessed.
SubcodeAnswer ReadDriveSubcode(const std::string& path, driver_id_t driver, bool pregapsKnown,
                               std::stop_token stop);
