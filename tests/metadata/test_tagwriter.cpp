// Tags written into files the real encoders made, read back with TagLib.
#include "metadata/tagwriter.h"
#include "support/encodedfiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <taglib/fileref.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>

namespace {
// The written fields as TagLib reads them, in one line.
std::string ReadBack(const QString& path, const char* discIdKey) {
    const TagLib::PropertyMap map = TagLib::FileRef(QFile::encodeName(path)).file()->properties();
    std::string fields;
    for (const char* key :
         {"TITLE", "ARTIST", "ALBUM", "ALBUMARTIST", "DATE", "GENRE", "TRACKNUMBER",
          "MUSICBRAINZ_ALBUMID", "MUSICBRAINZ_TRACKID", discIdKey, "COMMENT"})
        fields += (map.contains(key) ? map[key].toString().to8Bit(true) : "-") + '|';
    return fields;
}
} // namespace

// What the encoder wrote itself (a comment) stays beside the new tags.
TEST(TagWriter, WritesEveryFieldAndKeepsTheEncodersTags) {
    const struct {
        const char *extension, *trackNumber, *discIdKey;
    } cases[] = {{"mp3", "3/12", "MUSICBRAINZ DISC ID"},
                 {"ogg", "3", "MUSICBRAINZ_DISCID"},
                 {"flac", "3", "MUSICBRAINZ_DISCID"}};
    QTemporaryDir folder;
    const TrackTags tags{"Blåbær – 青", "Ann",       "Blue",        "Various", "Jazz", 3, 12,
                         1999,          "release-1", "recording-3", "disc.id-"};
    for (const auto& c : cases) {
        const QString path = EncodedSilence(folder.path(), c.extension, "kept");
        ASSERT_FALSE(path.isEmpty()) << "no " << c.extension << " encoder";
        ASSERT_EQ(WriteTags(path, tags), std::nullopt) << c.extension;
        EXPECT_EQ(ReadBack(path, c.discIdKey),
                  std::string("Blåbær – 青|Ann|Blue|Various|1999|Jazz|") + c.trackNumber +
                      "|release-1|recording-3|disc.id-|kept|");
    }
    TagLib::MPEG::File mp3(QFile::encodeName(folder.filePath("track.mp3")));
    EXPECT_EQ(mp3.ID3v2Tag()->header()->majorVersion(), 4u);
    EXPECT_FALSE(TagLib::ID3v2::UserTextIdentificationFrame::find(
                     mp3.ID3v2Tag(), "MusicBrainz Album Id") == nullptr);
    EXPECT_NE(WriteTags(folder.filePath("silence.wav"), tags), std::nullopt);
}
