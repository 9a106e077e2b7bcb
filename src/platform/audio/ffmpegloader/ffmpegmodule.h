#pragma once

#include "platform/audio/core/filecodecs.h"
#include "platform/audio/ffmpegloader/ffmpegentry.h"

#include <array>
#include <mutex>
#include <string>

// FFmpeg lives in a module of its own. Linked into the program, its hundred libraries were
// loaded and relocated before main on every start, on the window's way to the screen, though
// only a rip (its files, their check, WMA) uses them. The module is loaded when first asked for,
// by the rip's threads: a window that only plays never loads it.
//
// Threads: every call may come from any thread; the first loads the module, the others wait.
class FfmpegModule final : public FileCodecs {
public:
    // Looks for mivo-ffmpeg.so in the program's folder (the build), then in the installed
    // module folder found from it.
    explicit FfmpegModule(std::string programFolder) : m_programFolder(std::move(programFolder)) {}

    // Where the module is looked for, in that order.
    static std::array<std::string, 2> places(const std::string& programFolder);

    // Whether a module file is there to load, without loading it.
    bool present() const;
    // Null when the module could not be loaded; the reason has gone to the log.
    const FfmpegEntry* entry();

    std::unique_ptr<PcmSource> openFile(const std::string& path, int& error) override;
    std::optional<AudioFileFacts> fileFacts(const std::string& path) override;

private:
    std::string m_programFolder;
    std::once_flag m_loaded;
    const FfmpegEntry* m_entry = nullptr;
};
