#include "platform/audio/ffmpegloader/ffmpegmodule.h"

#include <QtGlobal>

#include <dlfcn.h>
#include <unistd.h>

namespace {

constexpr const char* kModuleFile = "mivo-ffmpeg.so";

// The module stays loaded for the life of the process: its objects may outlive any owner.
const FfmpegEntry* Load(const std::string& programFolder) {
    std::string reasons;
    for (const std::string& path : FfmpegModule::places(programFolder)) {
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            reasons += std::string("\n") + dlerror();
            continue;
        }
        const auto entry = reinterpret_cast<FfmpegEntryFunction>(dlsym(module, kFfmpegEntrySymbol));
        if (entry != nullptr)
            return entry();
        reasons += "\n" + path + ": no " + kFfmpegEntrySymbol;
    }
    qWarning("WMA files, file streams and the check of ripped files are not available; the "
             "FFmpeg module did not load:%s",
             reasons.c_str());
    return nullptr;
}

} // namespace

// MIVO_MODULE_FROM_BIN: the installed module folder relative to the installed program.
std::array<std::string, 2> FfmpegModule::places(const std::string& programFolder) {
    return {programFolder + "/" + kModuleFile,
            programFolder + "/" MIVO_MODULE_FROM_BIN "/" + kModuleFile};
}

bool FfmpegModule::present() const {
    for (const std::string& path : places(m_programFolder))
        if (access(path.c_str(), R_OK) == 0)
            return true;
    return false;
}

const FfmpegEntry* FfmpegModule::entry() {
    std::call_once(m_loaded, [this] { m_entry = Load(m_programFolder); });
    return m_entry;
}

std::unique_ptr<PcmSource> FfmpegModule::openFile(const std::string& path, int& error) {
    const FfmpegEntry* module = entry();
    if (module == nullptr) {
        error = BASS_ERROR_NOTAVAIL;
        return nullptr;
    }
    return module->openFile(path, error);
}

std::optional<AudioFileFacts> FfmpegModule::fileFacts(const std::string& path) {
    const FfmpegEntry* module = entry();
    if (module == nullptr)
        return std::nullopt;
    return module->fileFacts(path);
}
