// Covers from a loopback server playing the Cover Art Archive (an image behind a redirect, a
// PNG, an HTML page, a body past the limit, no answer), then embedded in every format and read
// back with TagLib, and saved beside the files.
#include "metadata/coverartfetch.h"
#include "metadata/coverembed.h"
#include "support/encodedfiles.h"
#include "support/loopbackhttp.h"
#include "support/testenv.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <taglib/asffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

namespace {

using namespace std::chrono_literals;

QByteArray Image(const char* format, QColor colour, int side = 60) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(colour);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

// The archive's answers by release: "jpeg" redirects to the image's host as the archive does.
std::optional<QByteArray> Archive(const QByteArray& request) {
    const QByteArray path = request.split(' ').value(1);
    if (path == "/release/jpeg/front-500")
        return "HTTP/1.1 307 Temporary Redirect\r\nLocation: /images/cover.jpg\r\n"
               "Content-Length: 0\r\nConnection: close\r\n\r\n";
    if (path == "/images/cover.jpg")
        return LoopbackHttp::Response(200, Image("JPG", Qt::red));
    if (path == "/release/png/front-250")
        return LoopbackHttp::Response(200, Image("PNG", Qt::blue));
    if (path == "/release/html/front-500")
        return LoopbackHttp::Response(200, "<html><body>Not here</body></html>");
    if (path == "/release/huge/front-500")
        return LoopbackHttp::Response(200, QByteArray(20 << 20, 'x'));
    if (path == "/release/hang/front-500")
        return std::nullopt;
    return LoopbackHttp::Response(404, "");
}

// The picture each format holds as its front cover, as TagLib reads it: "mime type, bytes".
std::pair<QString, QByteArray> FrontCover(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const auto result = [](const TagLib::String& mime, const TagLib::ByteVector& data) {
        return std::pair{QString::fromStdString(mime.to8Bit()),
                         QByteArray(data.data(), data.size())};
    };
    std::vector<std::pair<QString, QByteArray>> found;
    if (path.endsWith(".mp3")) {
        TagLib::MPEG::File file(name);
        for (auto* frame : file.ID3v2Tag()->frameList("APIC")) {
            auto* picture = static_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame);
            if (picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover)
                found.push_back(result(picture->mimeType(), picture->picture()));
        }
    } else if (path.endsWith(".wma")) {
        TagLib::ASF::File file(name);
        for (const auto& held : file.tag()->attribute("WM/Picture"))
            if (held.toPicture().type() == TagLib::ASF::Picture::FrontCover)
                found.push_back(result(held.toPicture().mimeType(), held.toPicture().picture()));
    } else {
        TagLib::FLAC::File flac(name);
        TagLib::Ogg::Vorbis::File ogg(name);
        for (auto* picture : path.endsWith(".flac") ? flac.pictureList() : ogg.tag()->pictureList())
            if (picture->type() == TagLib::FLAC::Picture::FrontCover)
                found.push_back(result(picture->mimeType(), picture->data()));
    }
    return found.size() == 1
               ? found.front()
               : std::pair{QString("%1 front covers").arg(found.size()), QByteArray()};
}

} // namespace

TEST(CoverArtFetch, TakesOnlyAnImageThatComesWholeAndInTime) {
    LoopbackHttp server(Archive);
    const ScopedEnv base("MIVO_COVERART_URL", server.url() + "/");
    const struct {
        const char* release;
        CoverSize size;
        const char* note; // after "Cover Art Archive: "
    } cases[] = {
        {"jpeg", CoverSize::Large, "JPEG 60×60, 1 KiB"},
        {"png", CoverSize::Thumbnail, "PNG 60×60, 1 KiB"},
        {"html", CoverSize::Large, "not a JPEG or PNG image"},
        {"huge", CoverSize::Large, "answer too large"},
        {"hang", CoverSize::Large, "no answer in 1 seconds"},
        {"unknown", CoverSize::Large, "no cover known for this release (404)"},
    };
    for (const auto& c : cases) {
        CoverArtFetch fetch;
        fetch.setLimit(1s);
        std::optional<CoverAnswer> answer;
        QObject::connect(&fetch, &CoverArtFetch::finished,
                         [&](const CoverAnswer& a) { answer = a; });
        fetch.fetch(c.release, c.size);
        ASSERT_TRUE(WaitUntil([&] { return answer.has_value(); })) << c.release;
        EXPECT_EQ(answer->note, QString("Cover Art Archive: ") + c.note) << c.release;
        EXPECT_EQ(answer->cover.has_value(),
                  QByteArray(c.release) == "jpeg" || QByteArray(c.release) == "png");
    }
    EXPECT_TRUE(server.requests.front().contains("User-Agent: Mivo/"));
}

TEST(CoverFiles, EmbeddedInEveryFormatAndSavedBesideTheFiles) {
    const auto checked = CheckCover(Image("JPG", Qt::green));
    ASSERT_TRUE(std::holds_alternative<CheckedCover>(checked));
    const CoverImage cover = std::get<CheckedCover>(checked).file;
    QTemporaryDir folder;
    for (const char* extension : {"mp3", "flac", "ogg", "wma"}) {
        const QString path = EncodedSilence(folder.path(), extension);
        ASSERT_FALSE(path.isEmpty()) << "no " << extension << " encoder";
        for (int time = 0; time < 2; ++time) // the second replaces the first
            ASSERT_EQ(EmbedCover(path, cover), std::nullopt) << extension;
        EXPECT_EQ(FrontCover(path), std::pair(QString("image/jpeg"), cover.data)) << extension;
    }
    EXPECT_EQ(EmbedCover(folder.filePath("silence.wav"), cover), "no cover in .wav files");

    // cover.jpg: written, left as it is when the same, never replaced when another.
    const QString rip = folder.filePath("rip");
    ASSERT_TRUE(QDir().mkpath(rip));
    EXPECT_EQ(SaveCoverFile(rip, cover), std::nullopt);
    EXPECT_EQ(SaveCoverFile(rip, cover), std::nullopt);
    QFile saved(QDir(rip).filePath("cover.jpg"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), cover.data);
    const CoverImage other = std::get<CheckedCover>(CheckCover(Image("PNG", Qt::blue))).file;
    EXPECT_EQ(SaveCoverFile(rip, other),
              "cover.png not saved: the folder has a different cover.jpg, which is kept");
    EXPECT_EQ(QDir(rip).entryList(QDir::Files | QDir::Hidden), QStringList{"cover.jpg"});
    const auto large = CheckCover(Image("JPG", Qt::red, 4001));
    ASSERT_TRUE(std::holds_alternative<QString>(large));
    EXPECT_EQ(std::get<QString>(large),
              "a JPEG image of 4001×4001 pixels, more than a cover needs");
    const QByteArray png = Image("PNG", Qt::red);
    const auto damaged = CheckCover(png.left(png.size() / 2));
    ASSERT_TRUE(std::holds_alternative<QString>(damaged));
    EXPECT_EQ(std::get<QString>(damaged).left(19), "a damaged PNG image");
}
