// Read throughput of a CD decode stream against plain reads of the image file.
//
//   bench_decode_throughput [image.cue]
//
// Without an argument a 70-minute, 10-track image is generated in a temporary
// folder by the mivo-discgen program beside this one. The decode stream is read
// as the WAV ripper reads it (20000-byte blocks through BASS_ChannelGetData);
// the image's data file is then read in the same blocks, best of three rounds
// each. Goal: ratio >= 0.9.
#include "platform/audio/createaudiolibrary.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <regex>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr DWORD kBlock = 20000;
constexpr int kRounds = 3;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

struct Pass {
    std::uint64_t bytes = 0;
    double seconds = 0;
    double mbPerSecond() const { return bytes / 1e6 / seconds; }
};

Pass Faster(const Pass& a, const Pass& b) {
    return a.seconds > 0 && a.mbPerSecond() >= b.mbPerSecond() ? a : b;
}

// The data file a CUE sheet names (its first FILE line), beside the sheet.
fs::path DataFileOf(const fs::path& cue) {
    std::ifstream in(cue);
    const std::regex fileLine(R"(^\s*FILE\s+"([^"]+)\")");
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_search(line, m, fileLine))
            return cue.parent_path() / m[1].str();
    }
    return {};
}

Pass ReadPlain(const fs::path& file) {
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(file.c_str(), "rb"));
    Pass pass;
    if (!f)
        return pass;
    std::vector<char> buffer(kBlock);
    const auto start = std::chrono::steady_clock::now();
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), f.get())) > 0)
        pass.bytes += n;
    pass.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return pass;
}

Pass ReadDecoded(AudioLibrary library, DWORD drive) {
    std::vector<char> buffer(kBlock);
    Pass pass;
    const auto start = std::chrono::steady_clock::now();
    const int tracks = library.cd.BASS_CD_GetTracks(drive);
    for (int t = 0; t < tracks; ++t) {
        const HSTREAM h = library.cd.BASS_CD_StreamCreate(drive, t, kDecodeStreamFlags);
        if (h == 0)
            continue;
        while (library.core.BASS_ChannelIsActive(h) != BASS_ACTIVE_STOPPED) {
            const int n = library.core.BASS_ChannelGetData(h, buffer.data(), kBlock);
            if (n <= 0)
                break;
            pass.bytes += static_cast<std::uint64_t>(n);
        }
        library.core.BASS_StreamFree(h);
    }
    pass.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return pass;
}

fs::path GenerateImage(const fs::path& programFolder, const QTemporaryDir& dir) {
    const QString generator = QString::fromStdString((programFolder / "mivo-discgen").string());
    std::cerr << "generating a 70-minute image in " << dir.path().toStdString() << "\n";
    if (QProcess::execute(generator, {"long", dir.path(), "70", "10"}) != 0)
        return {};
    for (const auto& entry : fs::directory_iterator(dir.path().toStdString())) {
        if (entry.path().extension() == ".cue")
            return entry.path();
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    const fs::path programFolder = fs::absolute(argv[0]).parent_path();
    QTemporaryDir tempDir;
    const fs::path cue = argc > 1 ? fs::path(argv[1]) : GenerateImage(programFolder, tempDir);
    const fs::path data = cue.empty() ? fs::path() : DataFileOf(cue);
    if (cue.empty() || data.empty() || !fs::exists(data)) {
        std::cerr << "no disc image to read\n";
        return 1;
    }
    setenv("MIVO_DISC_IMAGES", fs::absolute(cue).c_str(), 1);
    auto instance = CreateAudioLibrary({programFolder.string(), programFolder.string()});
    AudioLibrary library = instance->library();
    DWORD drives = 0;
    while (library.cd.BASS_CD_GetDriveDescription(drives))
        ++drives;
    if (drives == 0) {
        std::cerr << "the image is not listed as a drive\n";
        return 1;
    }
    const DWORD drive = drives - 1; // images follow the real drives

    ReadPlain(data); // warm the page cache so both passes read from memory alike
    Pass decoded, plain;
    for (int round = 0; round < 3; ++round) { // alternate, so load on the machine hits both
        decoded = Faster(decoded, ReadDecoded(library, drive));
        plain = Faster(plain, ReadPlain(data));
    }
    std::printf("image: %s (%.0f MB)\n", data.filename().c_str(), plain.bytes / 1e6);
    std::printf("decode stream: %.0f MB in %.2f s = %.1f MB/s\n", decoded.bytes / 1e6,
                decoded.seconds, decoded.mbPerSecond());
    std::printf("plain reads:   %.0f MB in %.2f s = %.1f MB/s\n", plain.bytes / 1e6, plain.seconds,
                plain.mbPerSecond());
    std::printf("ratio decode/plain: %.2f (goal >= 0.9)\n",
                decoded.mbPerSecond() / plain.mbPerSecond());
    return 0;
}
