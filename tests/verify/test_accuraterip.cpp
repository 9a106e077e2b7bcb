// The dBAR file read and judged, and fetched from a loopback server that answers well, badly or
// not at all.

#include "common/product.h"
#include "support/dbarbuilder.h"
#include "support/loopbackhttp.h"
#include "support/testenv.h"
#include "verify/accurateripclient.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr AccurateRipIds kDisc{3, 0x0008100c, 0x001ac008, 0x190dcc03};

QByteArray Http(int status, const QByteArray& body, qsizetype claimedLength = -1) {
    return LoopbackHttp::Response(status, body, claimedLength);
}

// Gives every request the same reply ("hang": none at all); without a reply nobody listens.
// MIVO_ACCURATERIP_URL names it meanwhile.
struct Loopback {
    Loopback(const std::optional<QByteArray>& reply, const QString& folder)
        : http([reply](const QByteArray&) { return reply == "hang" ? std::nullopt : reply; }),
          env("MIVO_ACCURATERIP_URL",
              (reply ? http.url() : std::string("http://127.0.0.1:9")) + folder.toStdString()) {}
    QByteArray request() const { return http.requests.isEmpty() ? "" : http.requests.last(); }

    LoopbackHttp http;
    ScopedEnv env;
};

} // namespace

TEST(Dbar, ParsesWholeResponsesAndJudgesByEveryOneForTheDisc) {
    const QByteArray bytes = DbarBytes({
        {kDisc.id1, kDisc.id2, kDisc.id3, {{5, 0x111, 0}, {5, 0x222, 0}, {0, 0, 0}}},
        {kDisc.id1, kDisc.id2, kDisc.id3, {{2, 0x999, 0}, {2, 0x333, 0}, {0, 0, 0}}},
        {kDisc.id1, kDisc.id2, 0xbad, {{7, 0x111, 0}, {7, 0x555, 0}, {7, 0, 0}}},
    });
    const auto responses = ParseDbar(bytes);
    ASSERT_TRUE(responses && responses->size() == 3 && responses->at(2).id3 == 0xbad);
    for (const QByteArray& bad : {QByteArray(), bytes.chopped(1), bytes + '\3',
                                  QByteArray("<!DOCTYPE html>"), DbarBytes({{1, 2, 3, {}}})})
        EXPECT_FALSE(ParseDbar(bad)) << bad.toHex().toStdString();

    using enum TrackVerdict::Result;
    for (auto [track, v1, v2, result, confidence] :
         {std::tuple{0, 0x111u, 0x999u, Accurate, 7}, // v1 in one response, v2 in the other
          {1, 0x555u, 0x666u, Mismatch, 0},           // only another disc has it
          {3, 0x111u, 0x111u, NotInDatabase, 0}}) {
        const TrackVerdict verdict = JudgeTrack(*responses, kDisc, track, v1, v2);
        EXPECT_TRUE(verdict.result == result && verdict.confidence == confidence) << track;
    }
}

TEST(AccurateRipClient, SaysOnceWhatTheServerGave) {
    const QByteArray dbar = DbarBytes({{kDisc.id1, kDisc.id2, kDisc.id3, {{4, 1, 0}}}});
    const struct {
        std::optional<QByteArray> reply;
        const char* folder;
        const char* result; // "found", "not in database" or why it was not checked
        const char* request = "";
    } cases[] = {
        {Http(200, dbar), "", "found", "GET /accuraterip/c/0/0/dBAR-003-0008100c-"},
        {Http(200, dbar), "/mirror/", "found", "GET /mirror/accuraterip/c/0/0/"},
        {Http(404, "Not found"), "/", "not in database"},
        {Http(500, "Oops"), "/", "server error 500"},
        {Http(200, dbar.left(20), dbar.size()), "/", "answer cut off"},
        {Http(200, "<html><body>Moved</body></html>"), "/", "answer not understood"},
        {Http(200, QByteArray(1024 * 1024 + 1, '\1')), "/", "answer too large"},
        {"hang", "/", "no answer in 0.3 seconds"},
        {"", "/", "connection closed without an answer"},
        {std::nullopt, "/", "no connection"},
    };
    for (const auto& c : cases) {
        Loopback loopback(c.reply, c.folder);
        AccurateRipClient client;
        client.setTimeLimit(std::chrono::milliseconds(300));
        QList<DbarLookup> lookups;
        QObject::connect(&client, &AccurateRipClient::finished,
                         [&](const DbarLookup& lookup) { lookups.append(lookup); });
        client.fetch(AccurateRipPath(kDisc));
        ASSERT_TRUE(WaitUntil([&] { return !lookups.isEmpty(); }, std::chrono::seconds(5)));
        QTest::qWait(50);
        ASSERT_EQ(lookups.size(), 1) << c.result;
        const QString result[] = {"found", "not in database", lookups[0].reason};
        EXPECT_EQ(result[int(lookups[0].status)].toStdString(), c.result);
        EXPECT_EQ(lookups[0].responses.size(), QByteArray(c.result) == "found" ? 1 : 0);
        EXPECT_TRUE(loopback.request().startsWith(c.request)) << loopback.request().toStdString();
        EXPECT_EQ(loopback.request().contains("\r\nUser-Agent: Mivo/" + kProductVersion.toLatin1()),
                  c.reply.has_value());
    }

    // Destroyed while its request runs, a client says nothing.
    Loopback silent("hang", "");
    auto client = std::make_unique<AccurateRipClient>();
    QObject::connect(client.get(), &AccurateRipClient::finished, [] { ADD_FAILURE(); });
    client->fetch(AccurateRipPath(kDisc));
    ASSERT_TRUE(WaitUntil([&] { return !silent.request().isEmpty(); }));
    client.reset();
    QTest::qWait(50);
}
