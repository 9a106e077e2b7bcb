// Tags written into files the real encoders made, read back with TagLib.
#include "metadata/tagwriter.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <taglib/fileref.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>

namespace {
// A fifth of a second of CD-audio silence.
void WriteWav(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromHex("52494646f489000057415645666d7420100000000100020044ac0000"
                                   "10b102000400100064617461d0890000") +
               QByteArray(35280, 0));
}

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
        const char* extension;
        QStringList encoder;
        const char *trackNumber, *discIdKey;
    } cases[] = {{"mp3", {"lame", "--quiet", "--tc", "kept"}, "3/12", "MUSICBRAINZ DISC ID"},
                 {"ogg", {"oggenc", "--quiet", "-c", "COMMENT=kept"}, "3", "MUSICBRAINZ_DISCID"},
                 {"flac", {"flac", "--silent", "-T", "COMMENT=kept"}, "3", "MUSICBRAINZ_DISCID"}};
    QTemporaryDir folder;
    const QString wav = folder.filePath("silence.wav");
    WriteWav(wav);
    const TrackTags tags{"Blåbær – 青", "Ann",       "Blue",        "Various", "Jazz", 3, 12,
                         1999,          "release-1", "recording-3", "disc.id-"};
    for (const auto& c : cases) {
        if (QStandardPaths::findExecutable(c.encoder[0]).isEmpty())
            GTEST_SKIP() << c.encoder[0].toStdString() << " is not installed";
        const QString path = folder.filePath(QStringLiteral("track.") + c.extension);
        const QString output = c.extension == QLatin1String("mp3") ? path : "-o" + path;
        ASSERT_EQ(QProcess::execute(c.encoder[0], c.encoder.mid(1) << wav << output), 0);
        ASSERT_EQ(WriteTags(path, tags), std::nullopt) << c.extension;
        EXPECT_EQ(ReadBack(path, c.discIdKey),
                  std::string("Blåbær – 青|Ann|Blue|Various|1999|Jazz|") + c.trackNumber +
                      "|release-1|recording-3|disc.id-|kept|");
    }
    TagLib::MPEG::File mp3(QFile::encodeName(folder.filePath("track.mp3")));
    EXPECT_EQ(mp3.ID3v2Tag()->header()->majorVersion(), 4u);
    EXPECT_FALSE(TagLib::ID3v2::UserTextIdentificationFrame::find(
                     mp3.ID3v2Tag(), "MusicBrainz Album Id") == nullptr);
    EXPECT_NE(WriteTags(wav, tags), std::nullopt);
}
