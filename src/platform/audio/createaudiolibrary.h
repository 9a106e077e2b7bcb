#pragma once

#include "common/audiolibrary.h"

#include <memory>
#include <string>

class DriveEventSource;

// Owns the real audio library: SDL2 output, libcdio drives and disc images,
// FFmpeg for WMA, child processes for the external encoders.
class AudioLibraryInstance {
public:
    virtual ~AudioLibraryInstance() = default;
    virtual AudioLibrary library() = 0;
};

// Where the library looks for files; in the build both are the program's folder.
struct AudioLibraryFolders {
    std::string program; // lame and oggenc are looked for here before the PATH
    std::string data;    // its discs/ folder holds the disc images that are listed as
                         // virtual drives when MIVO_DISC_IMAGES is not set
};

// Drives plugged in or out while the program runs are followed through udev's monitor, on
// the event loop of the calling thread (none without a Qt application).
std::unique_ptr<AudioLibraryInstance> CreateAudioLibrary(const AudioLibraryFolders& folders);
// The same with another source of such events (a test's); null follows none.
std::unique_ptr<AudioLibraryInstance>
CreateAudioLibrary(const AudioLibraryFolders& folders,
                   std::unique_ptr<DriveEventSource> driveEvents);
