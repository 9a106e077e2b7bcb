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

// appFolder: the program's folder; its discs/ folder holds the disc images that are
// listed as virtual drives when MIVO_DISC_IMAGES is not set.
std::unique_ptr<AudioLibraryInstance> CreateAudioLibrary(const std::string& appFolder);
