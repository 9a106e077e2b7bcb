#include "platform/audio/imageloader.h"

#include "platform/audio/cdiohandles.h"
#include "platform/audio/cdtextblock.h"
#include "platform/audio/imagesheet.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

LoadedImage Refused(const std::string& reason) {
    return LoadedImage{std::nullopt, reason};
}

std::optional<SheetKind> KindOf(const fs::path& sheet) {
    std::string ext = sheet.extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".cue")
        return SheetKind::Cue;
    if (ext == ".toc")
        return SheetKind::Toc;
    return std::nullopt;
}

std::optional<std::string> ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A private folder for the staged sheet and its links, removed with everything in it.
class StagingFolder {
public:
    StagingFolder() {
        std::string pattern = (fs::temp_directory_path() / "mivo-disc-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
    }
    ~StagingFolder() {
        std::error_code ignored;
        if (!m_path.empty())
            fs::remove_all(m_path, ignored);
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    bool ok() const { return !m_path.empty(); }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

// libcdio's CUE reader opens "<sheet>.bin" whatever the FILE line says; its TOC
// reader opens names relative to the current folder, so TOC names become absolute.
std::string StagedName(SheetKind kind, const StagingFolder& staging, int index) {
    if (kind == SheetKind::Cue)
        return "image.bin";
    return (staging.path() / ("file" + std::to_string(index) + ".bin")).string();
}

std::string LinkFiles(SheetKind kind, const ScannedSheet& sheet, const StagingFolder& staging) {
    for (std::size_t i = 0; i < sheet.files.size(); ++i) {
        const fs::path target(sheet.files[i]);
        std::error_code error;
        if (!fs::is_regular_file(target, error))
            return "the file \"" + target.filename().string() + "\" is missing";
        fs::create_symlink(target, staging.path() / StagedName(kind, staging, int(i)), error);
        if (error)
            return "cannot prepare the image: " + error.message();
    }
    return {};
}

CdIoHandle OpenStaged(SheetKind kind, const ScannedSheet& sheet, const StagingFolder& staging) {
    const fs::path staged = staging.path() / (kind == SheetKind::Cue ? "image.cue" : "image.toc");
    std::ofstream(staged, std::ios::binary) << sheet.stagedText;
    return CdIoHandle(kind == SheetKind::Cue ? cdio_open_cue(staged.c_str())
                                             : cdio_open_cdrdao(staged.c_str()));
}

// Where a track starts in its file when the sheet does not say: a CUE file holds
// the disc's sectors one after the other from sector 0; a TOC DATAFILE without an
// offset continues where the previous track in the same file ended.
std::uint64_t ImpliedOffset(SheetKind kind, const std::vector<SheetTrack>& sheetTracks,
                            const std::vector<ImageTrack>& done, const std::vector<lsn_t>& lsns) {
    const std::size_t t = done.size();
    if (kind == SheetKind::Cue)
        return t == 0 ? std::uint64_t(lsns[0]) * sheetTracks[0].blockSize
                      : done[t - 1].fileOffset +
                            std::uint64_t(lsns[t] - lsns[t - 1]) * sheetTracks[t - 1].blockSize;
    if (t > 0 && sheetTracks[t - 1].fileIndex == sheetTracks[t].fileIndex)
        return done[t - 1].fileOffset +
               std::uint64_t(done[t - 1].sectorCount) * sheetTracks[t - 1].blockSize;
    return 0;
}

std::string CheckInsideFile(const ImageTrack& track, int number) {
    std::error_code error;
    const auto size = fs::file_size(track.file, error);
    if (error || track.fileOffset + track.byteLength() > size)
        return "track " + std::to_string(number) + " runs past the end of \"" +
               fs::path(track.file).filename().string() + "\"";
    return {};
}

LoadedImage BuildLayout(SheetKind kind, CdIo_t* cdio, const ScannedSheet& sheet) {
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (count == CDIO_INVALID_TRACK || count == 0)
        return Refused("the sheet lists no tracks");
    if (count != sheet.tracks.size())
        return Refused("libcdio reads " + std::to_string(count) + " tracks where the sheet lists " +
                       std::to_string(sheet.tracks.size()));
    DiscLayout layout;
    std::vector<lsn_t> lsns;
    for (int t = 0; t < count; ++t) {
        const track_t number = static_cast<track_t>(first + t);
        lsns.push_back(cdio_get_track_lsn(cdio, number));
        ImageTrack track;
        track.audio = cdio_get_track_format(cdio, number) == TRACK_FORMAT_AUDIO;
        track.sectorCount = sheet.tracks[t].sectorCount.value_or(
            static_cast<int>(cdio_get_track_sec_count(cdio, number)));
        track.file = sheet.files[sheet.tracks[t].fileIndex];
        track.fileOffset = sheet.tracks[t].fileOffset.value_or(
            ImpliedOffset(kind, sheet.tracks, layout.tracks, lsns));
        if (track.sectorCount <= 0)
            return Refused("track " + std::to_string(t + 1) + " is empty");
        if (const std::string error = track.audio ? CheckInsideFile(track, t + 1) : "";
            !error.empty())
            return Refused(error);
        layout.tracks.push_back(track);
    }
    layout.cdTextBlock = CdTextBlockFrom(cdio_get_cdtext(cdio), first, count);
    return LoadedImage{std::move(layout), {}};
}

} // namespace

LoadedImage LoadDiscImage(const std::string& sheetPath) {
    const fs::path sheet(sheetPath);
    const auto kind = KindOf(sheet);
    if (!kind)
        return Refused("not a CUE or TOC sheet");
    const auto text = ReadText(sheet);
    if (!text)
        return Refused("the sheet cannot be read");
    const StagingFolder staging;
    if (!staging.ok())
        return Refused("no temporary folder to prepare the image in");
    const ScannedSheet scanned =
        ScanSheet(*kind, *text, sheet.parent_path().string(),
                  [&](int index) { return StagedName(*kind, staging, index); });
    if (!scanned.error.empty())
        return Refused(scanned.error);
    if (const std::string error = LinkFiles(*kind, scanned, staging); !error.empty())
        return Refused(error);
    const CdIoHandle cdio = OpenStaged(*kind, scanned, staging);
    if (!cdio)
        return Refused("libcdio cannot parse the sheet");
    return BuildLayout(*kind, cdio.get(), scanned);
}
