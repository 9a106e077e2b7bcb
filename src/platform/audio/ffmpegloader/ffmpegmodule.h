#pragma once

#include "platform/audio/ffmpegloader/ffmpegentry.h"

#include <future>
#include <string>

// FFmpeg lives in a module of its own. Linked into the program, its hundred libraries would
// all be loaded and relocated before main, on the window's way to the screen; here they load
// on a thread of their own from the moment the audio library is made, while the window is
// built, and are there long before anyone can ask for a WMA rip or a file stream. A caller
// that comes earlier waits for them.
//
// Threads: entry() may be called from any thread.
class FfmpegModule {
public:
    // Looks for mivo-ffmpeg.so in the program's folder (the build), then in the installed
    // module folder found from it.
    explicit FfmpegModule(const std::string& programFolder);

    // Null when the module could not be loaded; the reason has gone to the log.
    const FfmpegEntry* entry() const;

private:
    std::shared_future<const FfmpegEntry*> m_entry;
};
