#include "platform/audio/image/imagedata.h"

#include <array>
#include <filesystem>
#include <fstream>

namespace {

std::uint32_t Number(const char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

ImageData Unusable(const std::string& path, const std::string& why) {
    return {0, 0, "the file \"" + std::filesystem::path(path).filename().string() + "\" " + why};
}

// PCM, or the extensible format whose sub-format is PCM; CD audio's rate, size and channels.
bool IsCdAudio(const std::string& format) {
    if (format.size() < 16)
        return false;
    const std::uint32_t tag = Number(format.data(), 2);
    const bool pcm =
        tag == 1 || (tag == 0xFFFE && format.size() >= 26 && Number(format.data() + 24, 2) == 1);
    return pcm && Number(format.data() + 2, 2) == 2 && Number(format.data() + 4, 4) == 44100 &&
           Number(format.data() + 14, 2) == 16;
}

ImageData WaveData(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::array<char, 12> riff{};
    if (!in.read(riff.data(), riff.size()) || std::string(riff.data(), 4) != "RIFF" ||
        std::string(riff.data() + 8, 4) != "WAVE")
        return Unusable(path, "is not a WAVE file");
    std::error_code error;
    const std::uint64_t fileSize = std::filesystem::file_size(path, error);
    bool cdAudio = false;
    std::uint64_t at = riff.size();
    std::array<char, 8> chunk{};
    // A chunk header per pass; a file of nothing but empty chunks still ends.
    while (at + chunk.size() <= fileSize && in.seekg(std::streamoff(at)) &&
           in.read(chunk.data(), chunk.size())) {
        const std::string id(chunk.data(), 4);
        const std::uint64_t size = Number(chunk.data() + 4, 4);
        at += chunk.size();
        if (id == "fmt ") {
            std::string format(std::min<std::uint64_t>(size, 40), '\0');
            in.read(format.data(), std::streamsize(format.size()));
            cdAudio = IsCdAudio(format);
        } else if (id == "data") {
            if (!cdAudio)
                return Unusable(path, "does not hold CD audio (PCM, 44100 Hz, 16-bit, stereo)");
            // Writers that could not go back to the header leave the size at 0 or too large.
            const std::uint64_t rest = fileSize - at;
            return {at, size == 0 || size > rest ? rest : size, {}};
        }
        at += size + (size & 1); // chunks keep an even size
    }
    return Unusable(path, "has no audio data in it");
}

} // namespace

ImageData ImageDataOf(const std::string& path, const std::string& type) {
    if (type == "WAVE")
        return WaveData(path);
    std::error_code error;
    const std::uint64_t size = std::filesystem::file_size(path, error);
    return {0, error ? 0 : size, {}};
}
