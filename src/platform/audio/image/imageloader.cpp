#include "platform/audio/image/imageloader.h"

#include "platform/audio/disc/cdiohandles.h"
#include "platform/audio/disc/cdiolog.h"
#include "platform/audio/disc/cdtextblock.h"
#include "platform/audio/image/discmap.h"
#include "platform/audio/image/imagedata.h"
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
    return kind == SheetKind::Cue ? OpenCueSheet(staged.c_str()) : OpenTocSheet(staged.c_str());
}

std::string TrackName(std::size_t t) {
    return "track " + std::to_string(t + 1);
}

std::string FileName(const std::string& path) {
    return "\"" + fs::path(path).filename().string() + "\"";
}

std::uint64_t FileSize(const std::string& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    return error ? 0 : size;
}

// A CUE image is one file of the disc's sectors: raw, or the audio of a WAVE file.
std::string CheckSingleFile(const ScannedSheet& sheet) {
    if (sheet.fileTypes.size() > 1)
        return "the sheet names several files (" + FileName(sheet.files[0]) + ", " +
               FileName(sheet.files[1]) + "); only single-file images are supported";
    if (!sheet.fileTypes.empty() && sheet.fileTypes[0] != "BINARY" && sheet.fileTypes[0] != "WAVE")
        return "the file type " + sheet.fileTypes[0] + " is not supported (BINARY or WAVE only)";
    return {};
}

// A start the sheet itself gives (TOC) must lie inside its file; libcdio is not asked to
// make sense of one that does not.
std::string CheckSheetStarts(const ScannedSheet& sheet) {
    for (std::size_t t = 0; t < sheet.tracks.size(); ++t) {
        const SheetTrack& track = sheet.tracks[t];
        const std::string& file = sheet.files[track.fileIndex];
        if (track.fileOffset && *track.fileOffset >= FileSize(file))
            return TrackName(t) + " starts past the end of " + FileName(file);
    }
    return {};
}

// A CUE image is one file holding the disc's sectors in order, each track's in its own block
// size: a track's region runs from its first index (INDEX 00, else INDEX 01; the data's start
// for track 1) to the next track's first index, or the data's end.
std::vector<SheetRegion> CueRegions(const ScannedSheet& sheet, const ImageData& data) {
    const std::string& file = sheet.files.front();
    std::vector<SheetRegion> regions;
    std::uint64_t offset = data.offset;
    for (std::size_t t = 0; t < sheet.tracks.size(); ++t) {
        const SheetTrack& track = sheet.tracks[t];
        const auto firstIndex = [&](std::size_t k) {
            return k == 0 ? 0 : sheet.tracks[k].gapFrame.value_or(*sheet.tracks[k].startFrame);
        };
        const std::uint64_t begin = firstIndex(t);
        const std::uint64_t end = data.end();
        const std::uint64_t sectors =
            t + 1 < sheet.tracks.size()
                ? firstIndex(t + 1) - begin
                : (end > offset ? (end - offset) / std::uint64_t(track.blockSize) : 0);
        regions.push_back({track.audio, file, offset,
                           static_cast<int>(std::min<std::uint64_t>(sectors, INT32_MAX / 2)),
                           track.silenceBefore, track.silenceAfter,
                           track.silenceBefore + int(*track.startFrame - begin)});
        offset += sectors * std::uint64_t(track.blockSize);
    }
    return regions;
}

// A TOC track names its file, where in it its data starts (a DATAFILE without an offset
// continues the previous track's data in the same file) and mostly its length; a length the
// sheet leaves out is libcdio's, or the rest of the file for the last data in it.
std::vector<SheetRegion> TocRegions(CdIo_t* cdio, const ScannedSheet& sheet) {
    const track_t first = cdio_get_first_track_num(cdio);
    std::vector<SheetRegion> regions;
    for (std::size_t t = 0; t < sheet.tracks.size(); ++t) {
        const SheetTrack& track = sheet.tracks[t];
        const std::string& file = sheet.files[track.fileIndex];
        const bool continues = t > 0 && sheet.tracks[t - 1].fileIndex == track.fileIndex;
        const std::uint64_t offset = track.fileOffset.value_or(
            continues ? regions.back().fileOffset + std::uint64_t(regions.back().storedSectors) *
                                                        std::uint64_t(sheet.tracks[t - 1].blockSize)
                      : 0);
        const bool lastInFile = std::none_of(
            sheet.tracks.begin() + std::ptrdiff_t(t) + 1, sheet.tracks.end(),
            [&](const SheetTrack& later) { return later.fileIndex == track.fileIndex; });
        const std::uint64_t size = FileSize(file);
        const std::uint64_t rest =
            size > offset ? (size - offset) / std::uint64_t(track.blockSize) : 0;
        const std::uint64_t sectors =
            track.sectorCount ? std::uint64_t(*track.sectorCount)
            : lastInFile      ? rest
                              : cdio_get_track_sec_count(cdio, static_cast<track_t>(first + t));
        regions.push_back({track.audio, file, offset,
                           static_cast<int>(std::min<std::uint64_t>(sectors, INT32_MAX / 2)),
                           track.silenceBefore, track.silenceAfter, track.indexOneOffset});
    }
    return regions;
}

// A track whose INDEX 01 the sheet puts at or past its end, after a pregap it declares (INDEX 00,
// PREGAP or START), would be a pregap without a track: its INDEX 01 is left out and the track
// starts where its pregap does.
void KeepTracksOfOnlyAPregap(SheetKind kind, const ScannedSheet& sheet,
                             std::vector<SheetRegion>& regions, std::vector<std::string>& notes) {
    for (std::size_t t = 0; t < regions.size(); ++t) {
        SheetRegion& region = regions[t];
        const bool declared =
            kind == SheetKind::Toc || sheet.tracks[t].gapFrame || region.silenceBefore > 0;
        const std::int64_t length =
            std::int64_t(region.silenceBefore) + region.storedSectors + region.silenceAfter;
        if (!declared || region.indexOneOffset <= 0 || region.indexOneOffset < length)
            continue;
        notes.push_back(TrackName(t) +
                        " would be only a pregap: its INDEX 01 is left out, the track starts "
                        "where its pregap does");
        region.indexOneOffset = 0;
    }
}

// The index points where the disc map laid them, the codes and flags as the sheet gives them.
DiscSubcode SubcodeOf(const ScannedSheet& sheet, const DiscMap& map,
                      const std::vector<std::string>& notes) {
    DiscSubcode subcode;
    for (std::size_t t = 0; t < map.tracks.size(); ++t) {
        const ImageTrack& laid = map.tracks[t];
        const SheetTrack& given = sheet.tracks[t];
        DiscSubcode::Track track;
        if (laid.pregapSector < laid.startSector)
            track.pregap = laid.pregapSector;
        track.start = laid.startSector;
        track.isrc = QString::fromStdString(given.isrc);
        track.preEmphasis = given.preEmphasis;
        track.copyPermitted = given.copyPermitted;
        track.fourChannels = given.fourChannels;
        subcode.tracks.push_back(track);
    }
    subcode.mcn = QString::fromStdString(sheet.catalog);
    for (const std::string& note : notes)
        subcode.notes.push_back(QString::fromStdString(note));
    return subcode;
}

// Sizes are compared without a sum that could wrap; size is where the file's sectors end.
std::string CheckInsideFile(const SheetRegion& region, const SheetTrack& sheetTrack, std::size_t t,
                            std::uint64_t size) {
    if (!region.audio)
        return {};
    const std::uint64_t indexOne =
        region.fileOffset +
        std::uint64_t(std::max(0, region.indexOneOffset - region.silenceBefore)) * kCdSectorBytes;
    if (indexOne >= size)
        return TrackName(t) + " starts at " +
               FormatCdTime(sheetTrack.startFrame.value_or(indexOne / kCdSectorBytes)) +
               ", past the end of " + FileName(region.file);
    if (std::uint64_t(region.storedSectors) * kCdSectorBytes >
        size - std::min(size, region.fileOffset))
        return TrackName(t) + " runs past the end of " + FileName(region.file);
    return {};
}

LoadedImage BuildLayout(SheetKind kind, CdIo_t* cdio, const ScannedSheet& sheet,
                        const ImageData& cueData) {
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (count == CDIO_INVALID_TRACK || count == 0)
        return Refused("the sheet lists no tracks");
    if (count != sheet.tracks.size())
        return Refused("libcdio reads " + std::to_string(count) + " tracks where the sheet lists " +
                       std::to_string(sheet.tracks.size()));
    std::vector<SheetRegion> regions =
        kind == SheetKind::Cue ? CueRegions(sheet, cueData) : TocRegions(cdio, sheet);
    std::vector<std::string> notes = sheet.notes;
    KeepTracksOfOnlyAPregap(kind, sheet, regions, notes);
    for (std::size_t t = 0; t < regions.size(); ++t) {
        // libcdio knows a track's kind from its mode, as a drive does.
        regions[t].audio =
            cdio_get_track_format(cdio, static_cast<track_t>(first + t)) == TRACK_FORMAT_AUDIO;
        const std::uint64_t end =
            kind == SheetKind::Cue ? cueData.end() : FileSize(regions[t].file);
        if (const std::string error = CheckInsideFile(regions[t], sheet.tracks[t], t, end);
            !error.empty())
            return Refused(error);
    }
    DiscMap map = LayRegions(regions);
    if (!map.error.empty())
        return Refused(map.error);
    DiscSubcode subcode = SubcodeOf(sheet, map, notes);
    DiscLayout layout{std::move(map.tracks), std::move(map.extents),
                      CdTextBlockFrom(cdio_get_cdtext(cdio), first, count), std::move(subcode)};
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
    if (const std::string error = CheckSingleFile(scanned); !error.empty())
        return Refused(error);
    if (const std::string error = LinkFiles(*kind, scanned, staging); !error.empty())
        return Refused(error);
    ImageData cueData;
    if (*kind == SheetKind::Cue && !scanned.files.empty())
        cueData = ImageDataOf(scanned.files[0], scanned.fileTypes[0]);
    if (!cueData.error.empty())
        return Refused(cueData.error);
    if (const std::string error = CheckSheetStarts(scanned); !error.empty())
        return Refused(error);
    const CdIoHandle cdio = OpenStaged(*kind, scanned, staging);
    if (!cdio)
        return Refused("libcdio cannot parse the sheet");
    return BuildLayout(*kind, cdio.get(), scanned, cueData);
}
