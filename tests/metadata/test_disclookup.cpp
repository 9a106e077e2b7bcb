// The disc lookup against a loopback server playing MusicBrainz and gnudb: the order of the
// places asked, the retries, the limits and the cache.
#include "metadata/disccache.h"
#include "metadata/disclookup.h"
#include "support/loopbackhttp.h"
#include "support/testenv.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace std::chrono_literals;

struct Answer {
    int status;
    QByteArray body;
};

// Answers the requests in turn with the scripted answers, and the rest never; notes what each
// asked: "disc", "toc", "query" or "read".
struct FakeDatabases {
    FakeDatabases()
        : http([this](const QByteArray& request) -> std::optional<QByteArray> {
              asked << (request.contains("cddb+read") ? "read"
                        : request.contains("cddb")    ? "query"
                        : request.contains("toc=")    ? "toc"
                                                      : "disc");
              if (answers.isEmpty())
                  return std::nullopt;
              const Answer answer = answers.takeFirst();
              return LoopbackHttp::Response(answer.status, answer.body);
          }) {}
    std::string url() const { return http.url(); }

    LoopbackHttp http;
    QList<Answer> answers;
    QStringList asked;
};

QByteArray Releases(int count) {
    const QByteArray release = R"({"id": "r", "media": [{"track-count": 2, "discs": [{"id": "D1"}],
                                  "tracks": [{"title": "One"}, {"title": "Two"}]}]})";
    return R"({"releases": [)" + QByteArrayList(count, release).join(',') + "]}";
}

const DiscQuery kQuery{"D1", "1+2+30000+150+15000", 0x0a000202, 2, {150, 15000}, 400};
const Answer kOne{200, Releases(1)}, kThree{200, Releases(3)}, kUnknown{404, ""}, kBusy{503, ""},
    kNoRelease{200, "{}"}, kNoMatch{200, "202 No match\r\n"}, kHuge{200, QByteArray(2 << 20, ' ')},
    kList{200, "211 close\r\nrock 0a000202 A / B\r\nmisc 0a000202 A / C\r\n.\r\n"},
    kEntry{200, "210 rock 0a000202\r\nDTITLE=A / B\r\nTTITLE0=x\r\nTTITLE1=y\r\n.\r\n"};

class DiscLookupTest : public ::testing::Test {
protected:
    LookupResult run() {
        DiscLookup lookup;
        lookup.setRequestLimit(500ms);
        lookup.setMusicBrainzSpacing(100ms);
        std::optional<LookupResult> result;
        QObject::connect(&lookup, &DiscLookup::finished,
                         [&](const LookupResult& r) { result = r; });
        lookup.lookup(kQuery);
        EXPECT_TRUE(WaitUntil([&] { return result.has_value(); }));
        return result.value_or(LookupResult());
    }

    QTemporaryDir m_cache;
    ScopedEnv m_cacheHome{"XDG_CACHE_HOME", m_cache.path().toStdString()};
    FakeDatabases m_server;
    ScopedEnv m_musicBrainz{"MIVO_MUSICBRAINZ_URL", m_server.url()};
    ScopedEnv m_gnudb{"MIVO_GNUDB_URL", m_server.url() + "/"};
};

} // namespace

TEST_F(DiscLookupTest, GoesOnFromMusicBrainzToGnudbUntilReleasesAreFound) {
    using enum ReleaseSource;
    const struct {
        QList<Answer> answers;
        const char* asked;
        ReleaseSource source;
        qsizetype releases;
        const char* said;
        bool guesses = false; // found by the track lengths: offered, never taken alone
    } cases[] = {
        {{kOne}, "disc", MusicBrainz, 1, "MusicBrainz: 1 release"},
        {{kThree}, "disc", MusicBrainz, 3, "MusicBrainz: 3 releases"},
        {{kUnknown, kOne},
         "disc toc",
         MusicBrainz,
         1,
         "1 release by track lengths (guesses)",
         true},
        {{kBusy, kBusy, kOne}, "disc disc disc", MusicBrainz, 1, "busy (503)"},
        {{kUnknown, kNoRelease, kList, kEntry, kEntry},
         "disc toc query read read",
         Gnudb,
         2,
         "gnudb: 2 inexact matches (guesses)",
         true},
        {{{200, "not json"}, kNoMatch}, "disc query", None, 0, "gnudb: no match"},
        {{kHuge, kNoMatch}, "disc query", None, 0, "MusicBrainz: answer too large"},
        {{}, "disc query", None, 0, "gnudb: no answer in 0.5 seconds"},
    };
    for (const auto& c : cases) {
        QDir(m_cache.path()).removeRecursively();
        m_server.asked.clear();
        m_server.answers = c.answers;
        QElapsedTimer clock;
        clock.start();
        const LookupResult result = run();
        const std::string steps = result.steps.join('\n').toStdString();
        EXPECT_EQ(m_server.asked.join(' '), c.asked) << steps;
        EXPECT_EQ(result.source, c.source) << steps;
        EXPECT_EQ(result.releases.size(), c.releases) << steps;
        EXPECT_NE(steps.find(c.said), std::string::npos) << steps;
        for (const ReleaseInfo& release : result.releases)
            EXPECT_EQ(release.guess, c.guesses) << steps;
        const auto musicBrainzAsks = m_server.asked.filter(QRegularExpression("disc|toc")).size();
        EXPECT_GE(clock.elapsed(), 100 * (musicBrainzAsks - 1)) << "at most one request a pace";
        EXPECT_LT(clock.elapsed(), 3000) << "every request within its limit";
    }
    EXPECT_TRUE(m_server.http.requests.last().contains("cddb+query+0a000202+2+150+15000+400&"));
    EXPECT_TRUE(m_server.http.requests.first().contains("\r\nUser-Agent: Mivo/"));
}

TEST_F(DiscLookupTest, ADiscSeenOnceNeedsNoServerAndKeepsTheUsersChoice) {
    m_server.answers = {{200, Releases(2)}};
    run();
    ScopedEnv nowhere{"MIVO_MUSICBRAINZ_URL", "http://127.0.0.1:1"};
    const LookupResult again = run();
    EXPECT_EQ(again.source, ReleaseSource::Cache);
    ASSERT_EQ(again.releases.size(), 2);
    EXPECT_EQ(again.releases[1].source, ReleaseSource::MusicBrainz);
    EXPECT_EQ(again.releases[1].tracks[1].title, "Two");
    EXPECT_TRUE(!RememberedChoice("D1") && RememberChoice("D1", 1) && RememberedChoice("D1") == 1);
    EXPECT_EQ(run().releases.size(), 2);
}

// A cache that can be neither read nor written (a file where its folder belongs) is passed by.
TEST_F(DiscLookupTest, AnUnusableCacheIsPassedBy) {
    QFile file(m_cache.path() + "/mivo");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("{}") > 0);
    file.close();
    m_server.answers = {kOne};
    const LookupResult result = run();
    EXPECT_EQ(result.source, ReleaseSource::MusicBrainz);
    EXPECT_TRUE(result.steps.contains("cache: not written"));
}

TEST_F(DiscLookupTest, CanBeDestroyedWhileItWaitsForAnAnswer) {
    auto lookup = std::make_unique<DiscLookup>();
    bool finished = false;
    QObject::connect(lookup.get(), &DiscLookup::finished, [&] { finished = true; });
    lookup->lookup(kQuery);
    ASSERT_TRUE(WaitUntil([&] { return !m_server.http.requests.isEmpty(); }));
    lookup.reset();
    EXPECT_FALSE(WaitUntil([&] { return finished; }, 200ms));
}
