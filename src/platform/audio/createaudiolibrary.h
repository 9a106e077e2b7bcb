#pragma once

#include "common/audiolibrary.h"

#include <memory>
#include <string>

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

std::unique_ptr<AudioLibraryInstance> CreateAudioLibrary(const AudioLibraryFolders& folders);
