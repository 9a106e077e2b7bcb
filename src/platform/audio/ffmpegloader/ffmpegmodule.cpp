#include "platform/audio/ffmpegloader/ffmpegmodule.h"

#include <QtGlobal>

#include <dlfcn.h>

namespace {

constexpr const char* kModuleFile = "mivo-ffmpeg.so";

// The module stays loaded for the life of the process: its objects may outlive any owner.
const FfmpegEntry* Load(const std::string& programFolder) {
    std::string reasons;
    // MIVO_MODULE_FROM_BIN: the installed module folder relative to the installed program.
    for (const std::string& folder : {programFolder, programFolder + "/" MIVO_MODULE_FROM_BIN}) {
        const std::string path = folder + "/" + kModuleFile;
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
    qWarning("WMA files and file streams are not available; the FFmpeg module did not load:%s",
             reasons.c_str());
    return nullptr;
}

} // namespace

FfmpegModule::FfmpegModule(const std::string& programFolder)
    : m_entry(std::async(std::launch::async, Load, programFolder).share()) {}

const FfmpegEntry* FfmpegModule::entry() const {
    return m_entry.get();
}
