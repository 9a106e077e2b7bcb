// The FFmpeg module's one export (see ffmpegloader/ffmpegmodule.h).

#include "platform/audio/ffmpegloader/ffmpegentry.h"

#include "platform/audio/core/lasterror.h"
#include "platform/audio/ffmpeg/filefacts.h"
#include "platform/audio/ffmpeg/filesource.h"
#include "platform/audio/ffmpeg/wmaextension.h"

extern "C" __attribute__((visibility("default"))) const FfmpegEntry* mivo_ffmpeg_entry() {
    static const FfmpegEntry entry{
        .openFile = [](const std::string& path, int& error) -> std::unique_ptr<PcmSource> {
            return FileSource::open(path, error);
        },
        .fileFacts = &ReadFileFacts,
        .createWma = [](BassCore& core) -> std::unique_ptr<BassWma> {
            return std::make_unique<WmaExtension>(core);
        },
        .lastError = &LastBassError};
    return &entry;
}
