#include "platform/audio/image/imagesheet.h"

#include "platform/audio/image/sheetnumbers.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>
#include <utility>

namespace fs = std::filesystem;

namespace {

struct TrackMode {
    const char* name;
    bool audio;
    int blockSize;
};

constexpr TrackMode kCueModes[] = {
    {"AUDIO", true, 2352},       {"MODE1/2048", false, 2048}, {"MODE1/2352", false, 2352},
    {"MODE2/2336", false, 2336}, {"MODE2/2352", false, 2352}, {"CDI/2336", false, 2336},
    {"CDI/2352", false, 2352},
};

constexpr TrackMode kTocModes[] = {
    {"AUDIO", true, 2352},           {"MODE1", false, 2048},       {"MODE1_RAW", false, 2352},
    {"MODE2", false, 2336},          {"MODE2_FORM1", false, 2048}, {"MODE2_FORM2", false, 2324},
    {"MODE2_FORM_MIX", false, 2336}, {"MODE2_RAW", false, 2352},
};

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

std::vector<std::string> Tokens(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> tokens;
    for (std::string t; in >> t;)
        tokens.push_back(t);
    return tokens;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// A file name as a sheet line gives it: the text between the first pair of
// quotes, and where that pair lies in the line.
struct QuotedName {
    std::string name;
    std::size_t begin = 0; // the opening quote
    std::size_t end = 0;   // one past the closing quote
};

std::optional<QuotedName> FindQuotedName(const std::string& line) {
    const auto open = line.find('"');
    if (open == std::string::npos)
        return std::nullopt;
    const auto close = line.find('"', open + 1);
    if (close == std::string::npos || close == open + 1)
        return std::nullopt;
    return QuotedName{line.substr(open + 1, close - open - 1), open, close + 1};
}

std::string Resolve(const std::string& folder, const std::string& name) {
    const fs::path path(name);
    return (path.is_absolute() ? path : fs::path(folder) / path).lexically_normal().string();
}

constexpr std::uint64_t kMaxDiscSamples = kMaxMinutes * 60 * 44100;
constexpr std::uint64_t kMaxByteOffset = std::uint64_t(1) << 50; // far beyond any image file

// Bytes from "mm:ss:ff" (frames of 2352 bytes) or from a plain sample count.
std::optional<std::uint64_t> TocPositionBytes(const std::string& token) {
    if (const auto frames = ParseCdTime(token))
        return *frames * 2352;
    if (const auto samples = ParseNumber(token, kMaxDiscSamples))
        return *samples * 4;
    return std::nullopt;
}

// A TOC length in whole sectors; a part of a sector counts as one.
std::optional<int> TocSectors(const std::string& token) {
    const auto bytes = TocPositionBytes(token);
    if (!bytes)
        return std::nullopt;
    return static_cast<int>((*bytes + 2351) / 2352);
}

bool IsFlagWord(const std::string& word) {
    return word == "DCP" || word == "4CH" || word == "PRE" || word == "SCMS";
}

bool AllOf(const std::string& text, int (*test)(int)) {
    return std::all_of(text.begin(), text.end(), [&](unsigned char c) { return test(c) != 0; });
}

std::string Quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// An ISRC as sheets write it: twelve characters, two letters, three letters or digits, seven
// digits; letters of either case.
bool IsSheetIsrc(const std::string& text) {
    const auto digits = [&](std::size_t from, std::size_t to) {
        return std::all_of(text.begin() + std::ptrdiff_t(from), text.begin() + std::ptrdiff_t(to),
                           [](unsigned char c) { return std::isdigit(c) != 0; });
    };
    return text.size() == 12 && AllOf(text.substr(0, 2), ::isalpha) &&
           AllOf(text.substr(2, 3), ::isalnum) && digits(5, 12);
}

// The brace depth a TOC line leaves, braces inside quotes not counted.
int BraceDepthAfter(const std::string& line, int depth) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (!quoted && line.compare(i, 2, "//") == 0)
            break;
        else if (!quoted)
            depth += line[i] == '{' ? 1 : line[i] == '}' ? -1 : 0;
    }
    return std::max(depth, 0);
}

class SheetScanner {
public:
    SheetScanner(SheetKind kind, const std::string& folder,
                 const std::function<std::string(int)>& stagedName)
        : m_kind(kind), m_folder(folder), m_stagedName(stagedName) {}

    ScannedSheet scan(const std::string& text) {
        int number = 0;
        for (const std::string& line : Lines(text)) {
            ++number;
            std::string staged =
                line.size() > kSheetLineLimit
                    ? failed("line " + std::to_string(number) + " is longer than " +
                             std::to_string(kSheetLineLimit) + " characters")
                    : scanLine(line);
            if (!m_sheet.error.empty())
                return Refused();
            m_staged.push_back(std::move(staged));
        }
        checkComplete();
        if (!m_sheet.error.empty())
            return Refused();
        for (const std::string& line : m_staged)
            m_sheet.stagedText += line + "\n";
        return std::move(m_sheet);
    }

private:
    ScannedSheet Refused() const { return ScannedSheet{{}, {}, {}, {}, {}, {}, m_sheet.error}; }

    std::string scanLine(const std::string& line) {
        const auto tokens = Tokens(line);
        if (tokens.empty())
            return line;
        const std::string keyword = Upper(tokens[0]);
        if (m_kind == SheetKind::Cue)
            return keyword == "TRACK" ? (scanTrack(tokens), line)
                                      : scanCueLine(keyword, line, tokens);
        const int depth = std::exchange(m_tocDepth, BraceDepthAfter(line, m_tocDepth));
        if (depth > 0) // CD-TEXT: its own TITLE, ISRC, ... of no concern here
            return line;
        if (keyword == "TRACK")
            scanTrack(tokens);
        else if (keyword == "FILE" || keyword == "AUDIOFILE" || keyword == "DATAFILE")
            return scanTocFile(line, keyword == "DATAFILE");
        else if (keyword == "CATALOG" || keyword == "ISRC")
            return scanCode(keyword, FindQuotedName(line).value_or(QuotedName{}).name, line);
        else if (!scanTocFlag(tokens))
            scanTocGap(keyword, line);
        return line;
    }

    std::string scanCueLine(const std::string& keyword, const std::string& line,
                            const std::vector<std::string>& tokens) {
        if (keyword == "FILE")
            return scanCueFile(line, tokens);
        if (keyword == "INDEX")
            return scanIndex(tokens, line);
        if (keyword == "FLAGS")
            scanFlags(tokens);
        else if (keyword == "PREGAP" || keyword == "POSTGAP")
            scanCueGap(tokens, keyword);
        else if (keyword == "CATALOG" || keyword == "ISRC")
            return scanCode(keyword, tokens.size() == 2 ? tokens[1] : line.substr(keyword.size()),
                            line);
        return line;
    }

    // A CATALOG number belongs to the disc, an ISRC to the track it follows; one that is not
    // well-formed is left out with a note, and its line with it.
    std::string scanCode(const std::string& keyword, std::string code, const std::string& line) {
        code.erase(0, code.find_first_not_of(' '));
        if (keyword == "CATALOG") {
            if (code.size() == 13 && AllOf(code, ::isdigit))
                m_sheet.catalog = code == "0000000000000" ? "" : code;
            else
                return leftOut("the CATALOG \"" + code + "\" is not 13 digits");
        } else if (m_sheet.tracks.empty()) {
            return leftOut("an ISRC comes before the first TRACK");
        } else if (!IsSheetIsrc(code)) {
            return leftOut(trackName() + ": the ISRC \"" + code +
                           "\" is not two letters, three letters or digits and seven digits");
        } else {
            m_sheet.tracks.back().isrc = Upper(code);
        }
        return line;
    }

    // The line is dropped (the staged copy too), with a note of what was left out and why.
    std::string leftOut(const std::string& reason) {
        m_sheet.notes.push_back(reason + ": left out");
        return {};
    }

    // PRE_EMPHASIS, COPY, FOUR_CHANNEL_AUDIO, or the same after NO (TWO_CHANNEL_AUDIO).
    bool scanTocFlag(const std::vector<std::string>& tokens) {
        const bool no = Upper(tokens[0]) == "NO" && tokens.size() > 1;
        const std::string word = Upper(tokens[no ? 1 : 0]);
        if (m_sheet.tracks.empty())
            return false;
        SheetTrack& track = m_sheet.tracks.back();
        if (word == "PRE_EMPHASIS")
            track.preEmphasis = !no;
        else if (word == "COPY")
            track.copyPermitted = !no;
        else if (word == "FOUR_CHANNEL_AUDIO" || word == "TWO_CHANNEL_AUDIO")
            track.fourChannels = !no && word == "FOUR_CHANNEL_AUDIO";
        else
            return false;
        return true;
    }

    void scanTrack(const std::vector<std::string>& tokens) {
        if (m_kind == SheetKind::Cue && !checkCueTrackNumber(tokens))
            return;
        if (m_sheet.tracks.size() == kMaxTracks)
            return fail("the sheet lists more than 99 tracks; a disc has at most 99");
        const std::size_t modeAt = m_kind == SheetKind::Cue ? 2 : 1;
        const std::string mode = tokens.size() > modeAt ? Upper(tokens[modeAt]) : "";
        const std::string name = "track " + std::to_string(m_sheet.tracks.size() + 1);
        if (mode == "CDG")
            return fail(name + " is a CDG (karaoke) track, which cannot be read");
        const auto found = findMode(mode);
        if (!found)
            return fail(name + " has the unknown mode \"" + mode + "\"");
        SheetTrack track;
        track.audio = found->audio;
        track.blockSize = found->blockSize;
        // A CUE track lies in the file named last; a TOC track names its own.
        track.fileIndex = m_kind == SheetKind::Cue ? int(m_sheet.files.size()) - 1 : -1;
        m_sheet.tracks.push_back(track);
    }

    // Numbers rise from 1 to 99, and the track before has its start (INDEX 01).
    bool checkCueTrackNumber(const std::vector<std::string>& tokens) {
        const std::string text = tokens.size() > 1 ? tokens[1] : "";
        const auto number = ParseNumber(text, UINT64_MAX);
        const std::string name = "TRACK " + text;
        if (!number)
            fail(name + ": not a track number");
        else if (*number == 0)
            fail(name + ": track numbers run from 1 to 99");
        else if (*number > kMaxTracks)
            fail(name + ": a disc has at most 99 tracks");
        else if (*number <= m_lastTrackNumber)
            fail(name + " follows TRACK " + std::to_string(m_lastTrackNumber) +
                 ": track numbers must rise");
        else
            checkTrackStarts();
        m_lastTrackNumber = number.value_or(0);
        return m_sheet.error.empty();
    }

    void checkTrackStarts() {
        if (!m_sheet.tracks.empty() && !m_sheet.tracks.back().startFrame)
            fail(trackName() + " has no INDEX 01 (where it starts)");
    }

    std::string scanIndex(const std::vector<std::string>& tokens, const std::string& line) {
        if (m_sheet.tracks.empty())
            return failed("an INDEX comes before the first TRACK");
        const auto index = ParseNumber(tokens.size() > 1 ? tokens[1] : "", 99);
        const auto frame = ParseCdTime(tokens.size() > 2 ? tokens[2] : "");
        const std::string name = trackName() + ": INDEX " + (tokens.size() > 1 ? tokens[1] : "");
        if (!index || tokens.size() != 3)
            return failed(name + " is not an index number from 00 to 99 and a time");
        if (!frame)
            return failed(name + " " + tokens[2] + " is not a time mm:ss:ff " + kTimeRule);
        const std::size_t t = m_sheet.tracks.size() - 1;
        const int file = int(m_sheet.files.size()) - 1;
        const SheetTrack* previous = t > 0 ? &m_sheet.tracks[t - 1] : nullptr;
        if (*index > 1)
            return line;
        if (previous && previous->startFileIndex == file && previous->startFrame >= frame)
            return failed(*index == 1 ? trackName() + " starts at " + tokens[2] +
                                            ", not after track " + std::to_string(t)
                                      : name + " " + tokens[2] + " is not after track " +
                                            std::to_string(t) + "'s start");
        return *index == 0 ? scanGapIndex(*frame, file, name + " " + tokens[2], line)
                           : (scanStartIndex(*frame, file), line);
    }

    // An INDEX 00 after the track's INDEX 01, in the sheet or in time, is left out.
    std::string scanGapIndex(std::uint64_t frame, int file, const std::string& name,
                             const std::string& line) {
        SheetTrack& track = m_sheet.tracks.back();
        if (track.startFrame)
            return leftOut(name + " comes after the track's INDEX 01");
        track.gapFrame = frame;
        track.gapFileIndex = file;
        m_gapLine = m_staged.size();
        return line;
    }

    void scanStartIndex(std::uint64_t frame, int file) {
        SheetTrack& track = m_sheet.tracks.back();
        if (track.gapFrame && track.gapFileIndex == file && *track.gapFrame > frame) {
            m_sheet.notes.push_back(trackName() + ": INDEX 00 " + FormatCdTime(*track.gapFrame) +
                                    " lies after its INDEX 01: left out");
            m_staged[m_gapLine].clear();
            track.gapFrame.reset();
            track.gapFileIndex = -1;
        }
        track.startFrame = frame;
        track.startFileIndex = file;
    }

    void scanFlags(const std::vector<std::string>& tokens) {
        if (m_sheet.tracks.empty())
            return fail("FLAGS come before the first TRACK");
        SheetTrack& track = m_sheet.tracks.back();
        for (std::size_t i = 1; i < tokens.size(); ++i) {
            const std::string word = Upper(tokens[i]);
            if (!IsFlagWord(word))
                return fail(trackName() + ": unknown FLAGS word \"" + tokens[i] + "\"");
            track.preEmphasis = track.preEmphasis || word == "PRE";
            track.copyPermitted = track.copyPermitted || word == "DCP";
            track.fourChannels = track.fourChannels || word == "4CH";
        }
    }

    // PREGAP comes before the track's indexes, POSTGAP after them; neither is in the file.
    void scanCueGap(const std::vector<std::string>& tokens, const std::string& keyword) {
        const auto frames = tokens.size() == 2 ? ParseCdTime(tokens[1]) : std::nullopt;
        if (m_sheet.tracks.empty())
            return fail(keyword + " comes before the first TRACK");
        if (!frames)
            return fail(trackName() + ": " + keyword + " needs a time mm:ss:ff " + kTimeRule);
        SheetTrack& track = m_sheet.tracks.back();
        (keyword == "PREGAP" ? track.silenceBefore : track.silenceAfter) = int(*frames);
    }

    // SILENCE and ZERO give the track silence before or after its file; PREGAP is silence
    // that ends where the track's INDEX 01 is; START puts INDEX 01 at a time from the track's
    // start, or where the track has got to.
    void scanTocGap(const std::string& keyword, std::string line) {
        if (keyword != "SILENCE" && keyword != "ZERO" && keyword != "PREGAP" && keyword != "START")
            return;
        if (const auto comment = line.find("//"); comment != std::string::npos)
            line.resize(comment);
        const auto tokens = Tokens(line);
        if (m_sheet.tracks.empty())
            return fail(keyword + " comes before the first TRACK");
        SheetTrack& track = m_sheet.tracks.back();
        const bool afterFile = track.fileIndex >= 0;
        if (keyword == "START") {
            const auto at = tokens.size() > 1 ? TocSectors(tokens.back()) : trackLengthSoFar();
            if (!at)
                return fail(trackName() + ": START needs a time mm:ss:ff here");
            track.indexOneOffset = *at;
            return;
        }
        const auto sectors = tokens.size() > 1 ? TocSectors(tokens.back()) : std::nullopt;
        if (!sectors)
            return fail(trackName() + ": " + keyword + " needs a length");
        if (keyword == "PREGAP" && afterFile)
            return fail(trackName() + ": PREGAP must come before the track's file");
        (afterFile ? track.silenceAfter : track.silenceBefore) += *sectors;
        if (keyword == "PREGAP")
            track.indexOneOffset = track.silenceBefore;
    }

    std::optional<int> trackLengthSoFar() const {
        const SheetTrack& track = m_sheet.tracks.back();
        if (track.fileIndex < 0)
            return track.silenceBefore;
        if (!track.sectorCount)
            return std::nullopt;
        return track.silenceBefore + *track.sectorCount + track.silenceAfter;
    }

    std::string trackName() const { return "track " + std::to_string(m_sheet.tracks.size()); }

    std::optional<TrackMode> findMode(const std::string& mode) const {
        const auto check = [&](const auto& table) -> std::optional<TrackMode> {
            for (const TrackMode& m : table)
                if (mode == m.name)
                    return m;
            return std::nullopt;
        };
        return m_kind == SheetKind::Cue ? check(kCueModes) : check(kTocModes);
    }

    std::string scanCueFile(const std::string& line, const std::vector<std::string>& tokens) {
        std::string name;
        if (const auto quoted = FindQuotedName(line))
            name = quoted->name;
        else if (tokens.size() >= 3)
            name =
                line.substr(line.find(tokens[1]), line.rfind(tokens.back()) - line.find(tokens[1]));
        while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back())))
            name.pop_back();
        const std::string type = tokens.size() >= 3 ? Upper(tokens.back()) : "";
        if (name.empty() || type.empty())
            return failed("a FILE line names no file and type");
        m_sheet.files.push_back(Resolve(m_folder, name));
        m_sheet.fileTypes.push_back(type);
        return "FILE " + Quoted(m_stagedName(0)) + " BINARY";
    }

    std::string scanTocFile(const std::string& line, bool dataFile) {
        if (m_sheet.tracks.empty())
            return failed("a file is named before the first TRACK");
        const auto quoted = FindQuotedName(line);
        if (!quoted)
            return failed("a file name in the sheet is not quoted");
        const int index = fileIndexOf(Resolve(m_folder, quoted->name));
        SheetTrack& track = m_sheet.tracks.back();
        if (track.fileIndex >= 0)
            return failed(trackName() +
                          " takes its data from several FILE lines, which is not supported");
        track.fileIndex = index;
        track.fileOffset = tocOffset(line.substr(quoted->end), dataFile);
        if (!m_sheet.error.empty())
            return "";
        return line.substr(0, quoted->begin) + Quoted(m_stagedName(index)) +
               line.substr(quoted->end);
    }

    // "[#byte-offset] start [length]" for FILE and AUDIOFILE, "[#byte-offset] [length]" for
    // DATAFILE, whose data follows the previous track's when no offset is given.
    std::optional<std::uint64_t> tocOffset(std::string rest, bool dataFile) {
        if (const auto comment = rest.find("//"); comment != std::string::npos)
            rest.resize(comment);
        auto tokens = Tokens(rest);
        std::optional<std::uint64_t> offset;
        if (!tokens.empty() && tokens[0][0] == '#') {
            offset = ParseNumber(std::string_view(tokens[0]).substr(1), kMaxByteOffset);
            if (!offset)
                fail("track " + std::to_string(m_sheet.tracks.size()) + ": the byte offset " +
                     tokens[0] + " is not a number of a sensible size");
            tokens.erase(tokens.begin());
        }
        if (dataFile)
            return offset;
        const auto start = tokens.empty() ? std::nullopt : TocPositionBytes(tokens[0]);
        if (!start)
            fail("a FILE line of track " + std::to_string(m_sheet.tracks.size()) +
                 " has no valid start position");
        const auto length = tokens.size() > 1 ? TocPositionBytes(tokens[1]) : std::nullopt;
        if (tokens.size() > 1 && !length)
            fail("a FILE line of track " + std::to_string(m_sheet.tracks.size()) +
                 " has no valid length");
        if (length && *length > 0 && *length % 2352 == 0)
            m_sheet.tracks.back().sectorCount = static_cast<int>(*length / 2352);
        return offset.value_or(0) + start.value_or(0);
    }

    int fileIndexOf(const std::string& path) {
        const auto it = std::find(m_sheet.files.begin(), m_sheet.files.end(), path);
        if (it != m_sheet.files.end())
            return int(it - m_sheet.files.begin());
        m_sheet.files.push_back(path);
        return int(m_sheet.files.size()) - 1;
    }

    void checkComplete() {
        if (!m_sheet.error.empty())
            return;
        if (m_sheet.files.empty())
            return fail("the sheet names no data file");
        if (m_sheet.tracks.empty())
            return fail("the sheet lists no tracks");
        for (std::size_t i = 0; i < m_sheet.tracks.size(); ++i)
            if (m_sheet.tracks[i].fileIndex < 0)
                return fail("track " + std::to_string(i + 1) + " has no data file");
        if (m_kind == SheetKind::Cue)
            checkTrackStarts();
    }

    std::string failed(const std::string& reason) {
        fail(reason);
        return {};
    }

    void fail(const std::string& reason) {
        if (m_sheet.error.empty())
            m_sheet.error = reason;
    }

    static constexpr const char* kTimeRule =
        "(up to 99 minutes, seconds below 60, frames below 75)";

    SheetKind m_kind;
    std::string m_folder;
    const std::function<std::string(int)>& m_stagedName;
    ScannedSheet m_sheet;
    std::vector<std::string> m_staged; // the staged copy's lines so far
    std::size_t m_gapLine = 0;         // the staged line of the current track's INDEX 00
    std::uint64_t m_lastTrackNumber = 0;
    int m_tocDepth = 0; // braces open (CD_TEXT blocks)
};

} // namespace

ScannedSheet ScanSheet(SheetKind kind, const std::string& text, const std::string& sheetFolder,
                       const std::function<std::string(int)>& stagedName) {
    return SheetScanner(kind, sheetFolder, stagedName).scan(text);
}
