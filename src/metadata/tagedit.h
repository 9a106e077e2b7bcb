#pragma once

// One way into a finished file's tags for every writer (titles, ReplayGain, covers): the file is
// opened with TagLib by its extension (MP3, OGG, FLAC, WMA), the edit for its format changes
// what it holds, and the file is saved (MP3 as ID3v2.4, never duplicating the tag).

#include <QString>

#include <functional>
#include <optional>

namespace TagLib {
class String;
}
namespace TagLib::ID3v2 {
class Tag;
}
namespace TagLib::Ogg {
class XiphComment;
}
namespace TagLib::FLAC {
class File;
}
namespace TagLib::ASF {
class Tag;
}

// A format without an edit is not written to.
struct TagEdits {
    std::function<void(TagLib::ID3v2::Tag&)> mp3;
    std::function<void(TagLib::Ogg::XiphComment&)> ogg;
    std::function<void(TagLib::FLAC::File&)> flac; // its comments: file.xiphComment(true)
    std::function<void(TagLib::ASF::Tag&)> wma;
};

// The reason when the file could not be edited: "not a readable MP3 file", "the <what> could not
// be saved", "no <what> in .wav files".
std::optional<QString> EditTags(const QString& path, const TagEdits& edits, const QString& what);

// Text as TagLib takes it.
TagLib::String TagText(const QString& text);
