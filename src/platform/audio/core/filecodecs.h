#pragma once

#include "common/audiolibrary.h"
#include "platform/audio/core/pcmsource.h"

#include <memory>
#include <optional>
#include <string>

// Where the core's file streams and file facts come from (the FFmpeg module in the program).
// Threads: called from any thread.
class FileCodecs {
public:
    virtual ~FileCodecs() = default;
    // The audio of a file as CD audio; null with error set when it cannot be read.
    virtual std::unique_ptr<PcmSource> openFile(const std::string& path, int& error) = 0;
    // Nothing when no file can be read here (the reader did not load).
    virtual std::optional<AudioFileFacts> fileFacts(const std::string& path) = 0;
};
