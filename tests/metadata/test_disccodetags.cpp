// A disc's codes in its tracks' tags, read back with TagLib: ISRC (TSRC in ID3v2), the disc's
// catalog number as BARCODE and the release's catalog number, in MP3, OGG, FLAC and WMA files.
#include "metadata/disccodetags.h"
#include "platform/audio/ffmpeg/wmaextension.h"
#include "platform/audio/output/outputengine.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <taglib/fileref.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

namespace {

std::string ReadBack(const QString& path) {
    const TagLib::PropertyMap map = TagLib::FileRef(QFile::encodeName(path)).file()->properties();
    std::string fields;
    for (const char* key : {"ISRC", "BARCODE", "CATALOGNUMBER"})
        fields += (map.contains(key) ? map[key].toString().to8Bit(true) : "-") + '|';
    return fields;
}

// A WMA file the WMA extension writes, tagged before its audio as the rip tags it.
bool WriteWma(const QString& path, const TrackTags& tags) {
    OutputEngine core;
    WmaExtension wma(core);
    const HWMENCODE file =
        wma.BASS_WMA_EncodeOpenFile(44100, BASS_WMA_TAGS, 128000, path.toUtf8().constData());
    for (const auto& [name, text] : WmaDiscCodeTags(tags))
        wma.BASS_WMA_EncodeSetTag(file, name.constData(), text.constData());
    const std::vector<std::int16_t> silence(2 * 44100 / 5);
    const bool written = wma.BASS_WMA_EncodeSetTag(file, "", "") &&
                         wma.BASS_WMA_EncodeWrite(file, silence.data(), DWORD(silence.size() * 2));
    wma.BASS_WMA_EncodeClose(file);
    return written;
}

} // namespace

TEST(DiscCodeTags, IsrcBarcodeAndCatalogNumberReadBackInEveryTaggedFormat) {
    if (QStandardPaths::findExecutable("ffmpeg").isEmpty())
        GTEST_SKIP() << "ffmpeg is not installed";
    DiscTags disc;
    disc.mcn = "0724384960650";
    disc.isrcs = QStringList{"GBAYE6900001", "", "USRC17607839"};
    disc.release.catalogNumber = "CDP 7 46208 2";
    disc.release.barcode = "724384960650"; // the disc's own number comes first
    TrackTags tags;
    AddDiscCodes(tags, disc, 2);
    QTemporaryDir folder;
    for (const char* extension : {"mp3", "ogg", "flac", "wma"}) {
        SCOPED_TRACE(extension);
        const QString path = folder.filePath(QStringLiteral("track.") + extension);
        if (QLatin1String(extension) == QLatin1String("wma")) {
            ASSERT_TRUE(WriteWma(path, tags));
        } else {
            ASSERT_EQ(
                QProcess::execute("ffmpeg", {"-v", "error", "-f", "lavfi", "-i",
                                             "anullsrc=r=44100:cl=stereo", "-t", "0.2", path}),
                0);
            ASSERT_EQ(WriteTags(path, tags), std::nullopt);
        }
        EXPECT_EQ(ReadBack(path), "USRC17607839|0724384960650|CDP 7 46208 2|");
    }
    TagLib::MPEG::File mp3(QFile::encodeName(folder.filePath("track.mp3")));
    EXPECT_FALSE(mp3.ID3v2Tag()->frameListMap()["TSRC"].isEmpty());
    // A track without an ISRC, a disc without a catalog number: the release's barcode.
    disc.mcn.clear();
    AddDiscCodes(tags, disc, 1);
    EXPECT_EQ(tags.isrc + '|' + tags.barcode, "|724384960650");
}
