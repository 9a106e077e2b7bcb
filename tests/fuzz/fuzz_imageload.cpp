// Loading a whole image through libcdio: the input is the sheet, written beside a small
// audio file (raw, and the same as a WAVE file) that every FILE name below the folder may
// point at. The first byte picks CUE or
// TOC.
#include "platform/audio/image/imageloader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// One folder for the whole run, with the audio file the sheets name most often.
const fs::path& Folder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "mivo-fuzz-XXXXXX").string();
        const fs::path made = mkdtemp(pattern.data());
        std::ofstream(made / "a.bin", std::ios::binary) << std::string(20 * 2352, '\1');
        // The same audio as a WAVE file of CD audio, for sheets that name w.wav.
        const std::string header("RIFF\xe4\xb7\x00\x00WAVEfmt \x10\0\0\0\x01\0\x02\0"
                                 "\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0data\xc0\xb7\0\0",
                                 44);
        std::ofstream(made / "w.wav", std::ios::binary) << header << std::string(20 * 2352, '\1');
        return made;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const fs::path sheet = Folder() / (data[0] % 2 == 0 ? "a.cue" : "a.toc");
    std::ofstream(sheet, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data) + 1, static_cast<std::streamsize>(size - 1));
    LoadDiscImage(sheet.string());
    fs::remove(sheet);
    return 0;
}
