// Checks the disc images made by tools/discgen: the test audio exposes swaps and shifts, and
// libcdio reads the demo disc's CUE and TOC sheets alike.

#include "support/testimages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cdio/cdio.h>
#include <cdio/cdtext.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr qint64 kSectorBytes = 2352;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct CdioDeleter {
    void operator()(CdIo_t* cdio) const { cdio_destroy(cdio); }
};
using CdioHandle = std::unique_ptr<CdIo_t, CdioDeleter>;

CdioHandle openImage(const QString& path) {
    return CdioHandle(cdio_open(QFile::encodeName(path).constData(), DRIVER_UNKNOWN));
}

// libcdio opens the files named in a TOC sheet relative to the current folder.
class CurrentFolder {
public:
    explicit CurrentFolder(const QString& folder) : m_previous(QDir::currentPath()) {
        QDir::setCurrent(folder);
    }
    ~CurrentFolder() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

QString demoFolder() {
    return QCoreApplication::applicationDirPath() + "/discs";
}

QByteArray readSectors(CdIo_t* cdio, lsn_t first, int count) {
    QByteArray data(count * kSectorBytes, '\0');
    if (cdio_read_audio_sectors(cdio, data.data(), first, count) != DRIVER_OP_SUCCESS)
        return {};
    return data;
}

QString discText(CdIo_t* cdio, cdtext_field_t field) {
    cdtext_t* text = cdio_get_cdtext(cdio);
    const char* value = text ? cdtext_get_const(text, field, 0) : nullptr;
    return value ? QString::fromUtf8(value) : QString();
}

TEST(DiscGenImages, TestAudioRevealsSwapsAndShifts) {
    const QByteArray bin = readAll(TestImage("nocdtext.bin"));
    ASSERT_EQ(bin.size(), 675 * kSectorBytes);
    const QByteArray firstSector = bin.left(kSectorBytes);

    QByteArray channelsSwapped = firstSector, bytesSwapped = firstSector;
    for (qint64 i = 0; i < kSectorBytes; i += 4) {
        std::swap(channelsSwapped[i], channelsSwapped[i + 2]);
        std::swap(channelsSwapped[i + 1], channelsSwapped[i + 3]);
    }
    for (qint64 i = 0; i < kSectorBytes; i += 2)
        std::swap(bytesSwapped[i], bytesSwapped[i + 1]);
    EXPECT_NE(channelsSwapped, firstSector);
    EXPECT_NE(bytesSwapped, firstSector);
    EXPECT_NE(firstSector.mid(4), bin.mid(0, kSectorBytes - 4)) << "one frame shift";

    for (qint64 s = 1; s < 150; ++s)
        ASSERT_NE(bin.mid(s * kSectorBytes, kSectorBytes), firstSector) << "sector " << s;
    EXPECT_NE(bin.mid(150 * kSectorBytes, kSectorBytes), firstSector) << "track 2 = track 1";
}

TEST(DiscGenImages, DemoDiscReadsAlikeThroughCueAndToc) {
    const CurrentFolder inDiscs(demoFolder());
    CdioHandle cue = openImage(demoFolder() + "/demo.cue");
    CdioHandle toc = openImage(demoFolder() + "/demo.toc");
    ASSERT_TRUE(cue);
    ASSERT_TRUE(toc);

    const int tracks = cdio_get_num_tracks(cue.get());
    EXPECT_GE(tracks, 4);
    EXPECT_LE(tracks, 5);
    EXPECT_EQ(cdio_get_num_tracks(toc.get()), tracks);
    for (CdIo_t* cdio : {cue.get(), toc.get()}) {
        EXPECT_EQ(discText(cdio, CDTEXT_FIELD_TITLE), "Mivo Demo Disc");
        EXPECT_EQ(discText(cdio, CDTEXT_FIELD_PERFORMER), "The Mivo Ensemble");
    }

    const QByteArray bin = readAll(demoFolder() + "/demo.bin");
    for (int t = 1; t <= tracks; ++t) {
        const lsn_t start = cdio_get_track_lsn(cue.get(), static_cast<track_t>(t));
        EXPECT_EQ(cdio_get_track_lsn(toc.get(), static_cast<track_t>(t)), start);
        const QByteArray expected =
            bin.mid(start * kSectorBytes + 40 * kSectorBytes, 8 * kSectorBytes);
        EXPECT_EQ(readSectors(cue.get(), start + 40, 8), expected) << "track " << t;
        EXPECT_EQ(readSectors(toc.get(), start + 40, 8), expected) << "track " << t;
    }
}

} // namespace
