// The "CD Drive" panel: capability boxes, figures, door buttons and the read offset.
#include "cd/driveinfo.h"
#include "support/dbarbuilder.h"
#include "support/loopbackhttp.h"
#include "support/windowtest.h"
#include "verify/offsetsearch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

class DriveInfoTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    QCheckBox& box(int i) { return w.find<QCheckBox>(name("chkRWFlags_%1", i)); }
    bool buttonEnabled(int i) { return w.find<QPushButton>(name("cmdButton_%1", i)).isEnabled(); }
    static const char* name(const char* pattern, int i) {
        static QByteArray text;
        text = QString::fromLatin1(pattern).arg(i).toLatin1();
        return text.constData();
    }

    FakeWindow w;
};

} // namespace

// Each box shows its own flag bit (scattered bits, then none); the door boxes and buttons follow
// what the door can do, a capability the drive cannot tell is half ticked, figures are grouped.
TEST_F(DriveInfoTest, BoxesFiguresAndDoorButtonsShowTheDrive) {
    struct Case {
        BASS_CD_INFO info;
        std::vector<int> checked;
        Qt::CheckState lockedBox;
        bool lockButtons, doorButtons;
        const char *speed, *cache;
    };
    const DWORD someBits = (1u << 2) | (1u << 21) | (1u << 25) | (1u << 6) | (1u << 19);
    const Case cases[] = {
        {{28, someBits, 1, 0, 0, 1234567, 0},
         {2, 7, 10, 11},
         Qt::PartiallyChecked,
         false,
         true,
         " Kbps",
         "1,234,567 KB"},
        {{28, 0, 0, 2, 1411, 2048, 0}, {}, Qt::Unchecked, true, false, "1,411 Kbps", "2,048 KB"},
    };
    for (const Case& c : cases) {
        FakeWindow window;
        window.audio.addDrive().info = c.info;
        window.load();
        for (int i = 0; i <= 12; ++i) {
            const bool ticked = std::find(c.checked.begin(), c.checked.end(), i) != c.checked.end();
            const Qt::CheckState state =
                window.find<QCheckBox>(name("chkRWFlags_%1", i)).checkState();
            if (i == 12 && c.info.canlock == 2) {
                EXPECT_EQ(state, Qt::PartiallyChecked);
            } else {
                EXPECT_EQ(state == Qt::Checked, ticked) << i;
            }
        }
        EXPECT_EQ(window.find<QCheckBox>("chkRWFlags_13").checkState(), c.lockedBox);
        for (int button : {3, 4, 5, 6})
            EXPECT_EQ(window.find<QPushButton>(name("cmdButton_%1", button)).isEnabled(),
                      button < 5 ? c.lockButtons : c.doorButtons)
                << button;
        EXPECT_EQ(window.find<QLabel>("lblMaxReadSpeed").text(), c.speed);
        EXPECT_EQ(window.find<QLabel>("lblCacheSize").text(), c.cache);
    }
}

TEST_F(DriveInfoTest, CapabilityBoxesIgnoreClicksKeysAndPresses) {
    w.audio.addDrive().info.rwflags = BASS_CD_RWFLAG_READCDR;
    w.load();
    w.find<QWidget>("frCDInfo").show();
    for (int i = 0; i < 15; ++i) {
        const Qt::CheckState before = box(i).checkState();
        QTest::mouseClick(&box(i), Qt::LeftButton);
        QTest::keyClick(&box(i), Qt::Key_Space);
        box(i).click(); // what an accessibility press does
        EXPECT_EQ(box(i).checkState(), before) << i;
    }
    EXPECT_EQ(box(0).checkState(), Qt::Checked);
}

TEST_F(DriveInfoTest, ChoosingAnotherDriveShowsItAndScansItsDisc) {
    w.audio.addDrive("First", 3);
    w.audio.insertDisc(0, {30 * kSecond});
    FakeDrive& second = w.audio.addDrive("Second", 4);
    second.info = BASS_CD_INFO{28, 0, 1, 0, 1411, 2048, 0};
    second.tracks = {FakeTrack{10 * kSecond}, FakeTrack{20 * kSecond}};
    w.load();
    EXPECT_EQ(w.find<QComboBox>("cmbCDDrives").itemText(1), "E: Second");

    w.audio.clearCalls();
    w.find<QComboBox>("cmbCDDrives").setCurrentIndex(1);
    EXPECT_EQ(w.find<DriveInfo>().currentDrive(), 1u);
    EXPECT_EQ(w.column(2), QStringList({"00:10", "00:20"}));
    // Every CD call went to the chosen drive.
    for (const std::string& call : w.audio.calls) {
        if (call.rfind("BASS_CD_", 0) == 0) {
            EXPECT_NE(call.find("(1"), std::string::npos) << call;
        }
    }
}

// The offset is kept per drive model, comes back when the drive is chosen, also in the next run,
// and reaches the library at once; a disc image's stays 0.
TEST_F(DriveInfoTest, ReadOffsetIsKeptPerDriveAndGivenToTheLibrary) {
    QTemporaryDir settings;
    for (int run = 0; run < 2; ++run) {
        FakeWindow window;
        window.settingsFolder = settings.path();
        for (const char* drive : {"PLEXTOR PX-716A 1.11", "ASUS DRW-24 1.00", "Virtual drive (a)"})
            window.audio.addDrive(drive);
        window.load();
        auto& spin = window.find<QSpinBox>("spnReadOffset");
        auto& drives = window.find<QComboBox>("cmbCDDrives");
        if (run == 0) {
            spin.setValue(30);
            drives.setCurrentIndex(1);
            spin.setValue(-472);
        }
        drives.setCurrentIndex(0);
        EXPECT_EQ(spin.value(), 30);
        drives.setCurrentIndex(1);
        EXPECT_EQ(spin.value(), -472);
        drives.setCurrentIndex(2);
        EXPECT_TRUE(spin.value() == 0 && !spin.isEnabled());
        EXPECT_FALSE(window.find<QPushButton>("cmdFindOffset").isEnabled());
        const std::vector<int> given{30, -472, 0};
        for (std::size_t i = 0; i < given.size(); ++i)
            EXPECT_EQ(window.audio.drives[i].readOffset, given[i]) << i;
        EXPECT_EQ(spin.accessibleName(), "Read offset");
    }
}

// "Find offset" reads the fake disc as a drive 667 samples early would, against a loopback
// database: the offset is offered and taken, or the box says why there is none. On a
// mixed-mode disc the data track keeps the database's first entry.
TEST_F(DriveInfoTest, FindOffsetOffersWhatTheDatabaseConfirms) {
    constexpr int kOffset = 667;
    w.audio.addDrive("PLEXTOR PX-716A 1.11");
    QByteArray reply;
    LoopbackHttp database([&](const QByteArray&) { return reply; });
    const ScopedEnv url("MIVO_ACCURATERIP_URL", database.url());
    w.load();
    auto& find = w.find<QPushButton>("cmdFindOffset");
    for (const bool mixedMode : {false, true}) {
        w.audio.insertDisc(0, {7 * kSecond, 8 * kSecond, 3 * kSecond, 9 * kSecond});
        if (mixedMode)
            w.audio.drives[0].tracks.insert(w.audio.drives[0].tracks.begin(), {0, false});
        DiscToc toc;
        w.audio.BASS_CD_GetTOC(0, &toc);
        const AccurateRipIds ids = AccurateRipDiscIds(toc);
        DbarResponse response{ids.id1, ids.id2, ids.id3, {}};
        for (DWORD t = 0; t < toc.tracks.size(); ++t) {
            QByteArray window(kOffsetWindowSamples * 4, '\0');
            for (qsizetype k = 0; k < window.size(); ++k)
                window[k] = FakeAudio::DecodedByte(t, kOffsetWindowFirst * 4 + k);
            response.tracks.append(
                {quint8(toc.tracks[t].audio ? 3 : 0), 0,
                 toc.tracks[t].audio ? Frame450Checksum(window, kOffsetSearchRange + kOffset) : 0});
        }
        for (auto [status, body, message, offset] :
             {std::tuple{200, DbarBytes({response}), "With a read offset of 667 samples, 3 tracks",
                         kOffset},
              {404, QByteArray(), "No read offset could be found: the disc is not in the",
               kOffset}}) {
            SCOPED_TRACE(mixedMode ? "mixed mode" : "audio");
            reply = LoopbackHttp::Response(status, body);
            w.dialogs.messages.clear();
            find.click();
            EXPECT_FALSE(find.isEnabled());
            ASSERT_TRUE(WaitUntil([&] { return !w.dialogs.messages.empty(); }));
            EXPECT_TRUE(w.dialogs.messages[0].text.startsWith(message))
                << w.dialogs.messages[0].text.toStdString();
            EXPECT_EQ(w.find<QSpinBox>("spnReadOffset").value(), offset);
            EXPECT_EQ(w.audio.drives[0].readOffset, offset);
            EXPECT_TRUE(find.isEnabled());
        }
        w.find<QSpinBox>("spnReadOffset").setValue(0);
    }
}

// The drive belongs to a rip: a search for the offset that is still running ends before the rip
// reads, so its answer changes nothing and asks nothing; the offset cannot be changed meanwhile.
TEST_F(DriveInfoTest, ARipEndsAFindOffsetAndKeepsTheOffset) {
    w.audio.addDrive("PLEXTOR PX-716A 1.11");
    w.audio.insertDisc(0, {7 * kSecond, 8 * kSecond, 9 * kSecond});
    int asked = 0; // the search's request is answered below, the rip's at once
    LoopbackHttp database([&](const QByteArray&) {
        return ++asked == 1 ? std::nullopt : std::optional(LoopbackHttp::Response(404, ""));
    });
    const ScopedEnv url("MIVO_ACCURATERIP_URL", database.url());
    w.load();
    auto& find = w.find<QPushButton>("cmdFindOffset");
    auto& offset = w.find<QSpinBox>("spnReadOffset");
    find.click();
    ASSERT_TRUE(WaitUntil([&] { return !database.requests.isEmpty(); }));
    QTemporaryDir folder;
    w.find<QLineEdit>("txtExtractPath").setText(folder.path());
    w.find<QRadioButton>("optExtractMode1").setChecked(true);
    w.tick({1});
    QList<bool> enabled;
    w.audio.afterGetData = [&](DWORD, int call) {
        if (call != 1)
            return;
        enabled << find.isEnabled() << offset.isEnabled();
        database.answerWaiting(LoopbackHttp::Response(200, DbarBytes({{1, 2, 3, {{1, 0, 1}}}})));
        QTest::qWait(200);
    };
    w.command("IDC_FS_ExtractBtn");
    QTest::qWait(200);
    EXPECT_EQ(enabled, QList<bool>({false, false}));
    EXPECT_TRUE(w.messages("Find offset").isEmpty());
    EXPECT_TRUE(find.isEnabled() && offset.isEnabled());
    EXPECT_EQ(w.audio.drives[0].readOffset, 0);
}
