#include "platform/audio/image/imageloader.h"

#include "platform/audio/disc/cdiohandles.h"
#include "platform/audio/disc/cdiolog.h"
#include "platform/audio/disc/cdtextblock.h"
#include "platform/audio/image/imagesheet.h"
#include "platform/audio/image/sheetfile.h"
#include "platform/audio/image/sheetnumbers.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// 99 minutes of sectors: no track of a real disc is longer.
constexpr unsigned kMaxDiscSectors = kMaxMinutes * 60 * kFramesPerSecond;

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

// A private folder for the staged sheet and its links, removed with everything in it.
class StagingFolder {
public:
    StagingFolder() {
        std::error_code error;
        const fs::path temp = fs::temp_directory_path(error);
        if (error) {
            m_error = "no usable temporary folder (" + error.message() + ")";
            return;
        }
        std::string pattern = (temp / "mivo-disc-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
        else
            m_error = "cannot prepare the image in the temporary folder \"" + temp.string() +
                      "\": " + std::strerror(errno);
    }
    ~StagingFolder() {
        std::error_code ignored;
        if (!m_path.empty())
            fs::remove_all(m_path, ignored);
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    bool ok() const { return !m_path.empty(); }
    const std::string& error() const { return m_error; }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
    std::string m_error;
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
        const fs::file_status status = fs::status(target, error);
        const std::string name = "the file \"" + target.filename().string() + "\"";
        if (!fs::exists(status))
            return name + " is missing";
        if (!fs::is_regular_file(status))
            return name + " is not a regular file";
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

std::string TrackName(int t) {
    return "track " + std::to_string(t + 1);
}

std::string FileName(const std::string& path) {
    return "\"" + fs::path(path).filename().string() + "\"";
}

// A start the sheet itself gives (TOC) must lie inside its file; libcdio is not asked to
// make sense of one that does not.
std::string CheckSheetStarts(const ScannedSheet& sheet) {
    for (std::size_t t = 0; t < sheet.tracks.size(); ++t) {
        const SheetTrack& track = sheet.tracks[t];
        const std::string& file = sheet.files[track.fileIndex];
        std::error_code error;
        const auto size = fs::file_size(file, error);
        if (!error && track.fileOffset && *track.fileOffset >= size)
            return TrackName(int(t)) + " starts past the end of " + FileName(file);
    }
    return {};
}

// libcdio's start of the track on the disc. CUE offsets are worked out from these, so
// there they must rise from track to track.
std::string CheckStart(SheetKind kind, lsn_t lsn, const std::vector<lsn_t>& lsns, int t) {
    if (lsn == CDIO_INVALID_LSN || lsn < 0)
        return TrackName(t) + " has no valid start on the disc";
    if (kind == SheetKind::Cue && t > 0 && lsn <= lsns[t - 1])
        return TrackName(t) + " does not start after track " + std::to_string(t);
    return {};
}

std::string CheckLength(unsigned sectors, int t) {
    if (sectors == 0)
        return TrackName(t) + " is empty";
    if (sectors > kMaxDiscSectors)
        return TrackName(t) + " is longer than a disc can hold";
    return {};
}

// Sizes are compared without a sum that could wrap.
std::string CheckInsideFile(const ImageTrack& track, const SheetTrack& sheetTrack, int t) {
    std::error_code error;
    const auto size = fs::file_size(track.file, error);
    if (error)
        return "the file " + FileName(track.file) + " cannot be read: " + error.message();
    if (track.fileOffset >= size)
        return TrackName(t) + " starts at " +
               FormatCdTime(sheetTrack.startFrame.value_or(track.fileOffset / kCdSectorBytes)) +
               ", past the end of " + FileName(track.file);
    if (track.byteLength() > size - track.fileOffset)
        return TrackName(t) + " runs past the end of " + FileName(track.file);
    return {};
}

// The track's place in its file, or the reason it has none that can be read.
std::string PlaceTrack(SheetKind kind, CdIo_t* cdio, const ScannedSheet& sheet,
                       const std::vector<lsn_t>& lsns, ImageTrack& track,
                       const std::vector<ImageTrack>& done) {
    const int t = static_cast<int>(done.size());
    const auto number = static_cast<track_t>(cdio_get_first_track_num(cdio) + t);
    const SheetTrack& sheetTrack = sheet.tracks[t];
    track.audio = cdio_get_track_format(cdio, number) == TRACK_FORMAT_AUDIO;
    track.file = sheet.files[sheetTrack.fileIndex];
    track.fileOffset =
        sheetTrack.fileOffset.value_or(ImpliedOffset(kind, sheet.tracks, done, lsns));
    const unsigned sectors = sheetTrack.sectorCount ? static_cast<unsigned>(*sheetTrack.sectorCount)
                                                    : cdio_get_track_sec_count(cdio, number);
    track.sectorCount = static_cast<int>(std::min(sectors, kMaxDiscSectors + 1));
    if (!track.audio)
        return CheckLength(sectors, t);
    std::string error = CheckInsideFile(track, sheetTrack, t);
    if (error.empty())
        error = CheckLength(sectors, t);
    return error;
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
        const lsn_t lsn = cdio_get_track_lsn(cdio, static_cast<track_t>(first + t));
        if (const std::string error = CheckStart(kind, lsn, lsns, t); !error.empty())
            return Refused(error);
        lsns.push_back(lsn);
        ImageTrack track;
        if (const std::string error = PlaceTrack(kind, cdio, sheet, lsns, track, layout.tracks);
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
    InstallCdioLogHandler();
    const SheetFile file = ReadSheetFile(sheetPath);
    if (!file.text)
        return Refused(file.error);
    const StagingFolder staging;
    if (!staging.ok())
        return Refused(staging.error());
    // The staged links name the files by absolute path: they live in another folder.
    std::error_code error;
    const fs::path folder = fs::absolute(sheet, error).parent_path();
    const ScannedSheet scanned = ScanSheet(*kind, *file.text, folder.string(), [&](int index) {
        return StagedName(*kind, staging, index);
    });
    if (!scanned.error.empty())
        return Refused(scanned.error);
    if (const std::string error = LinkFiles(*kind, scanned, staging); !error.empty())
        return Refused(error);
    if (const std::string error = CheckSheetStarts(scanned); !error.empty())
        return Refused(error);
    const CdIoHandle cdio = OpenStaged(*kind, scanned, staging);
    if (!cdio)
        return Refused("libcdio cannot parse the sheet");
    return BuildLayout(*kind, cdio.get(), scanned);
}
