#pragma once

#include "common/audiolibrary.h"
#include "platform/audio/core/pcmsource.h"

#include <memory>
#include <string>

// What the FFmpeg module (mivo-ffmpeg.so) offers the program: file streams, the facts of a
// file, and the WMA extension. Both sides are built from this tree with one compiler, so C++
// types cross.
struct FfmpegEntry {
    // The audio of a file as CD audio; null with error set when it cannot be read.
    std::unique_ptr<PcmSource> (*openFile)(const std::string& path, int& error);
    AudioFileFacts (*fileFacts)(const std::string& path);
    std::unique_ptr<BassWma> (*createWma)(BassCore& core);
    // The module keeps its own last-error code: the code its last call on this thread left.
    int (*lastError)();
};

// The one symbol the module exports.
inline constexpr const char* kFfmpegEntrySymbol = "mivo_ffmpeg_entry";
using FfmpegEntryFunction = const FfmpegEntry* (*)();
