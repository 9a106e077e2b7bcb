#include "metadata/disclookup.h"

#include "common/httpget.h"
#include "metadata/disccache.h"
#include "metadata/musicbrainzanswer.h"

#include <QNetworkReply>

#include <algorithm>

namespace {

using namespace std::chrono_literals;

constexpr int kBusyRetries = 2;
constexpr int kMostGnudbEntries = 5;

// MusicBrainz allows one request a second from a program, however many lookups it runs.
std::chrono::steady_clock::time_point g_lastMusicBrainzRequest;

QUrl MusicBrainzUrl(const DiscQuery& query, bool byDurations) {
    const QString id = byDurations
                           ? QStringLiteral("-")
                           : QString::fromLatin1(QUrl::toPercentEncoding(query.musicBrainzDiscId));
    QString parameters = QStringLiteral("inc=artist-credits+recordings+release-groups+labels");
    if (byDurations)
        parameters = QStringLiteral("toc=") +
                     QString::fromLatin1(QUrl::toPercentEncoding(query.toc, "+")) + '&' +
                     parameters;
    return QUrl(ServiceBase("MIVO_MUSICBRAINZ_URL", "https://musicbrainz.org") +
                QStringLiteral("/ws/2/discid/") + id + '?' + parameters +
                QStringLiteral("&fmt=json"));
}

QString Count(qsizetype n, const char* one, const char* many) {
    return QString::number(n) + ' ' + QLatin1String(n == 1 ? one : many);
}

QString Failure(const HttpAnswer& answer) {
    return answer.status ? QStringLiteral("server error %1").arg(answer.status) : answer.failure;
}

} // namespace

// The cache knows discs by their MusicBrainz id, or by the freedb id when there is none.
QString DiscCacheKey(const DiscQuery& query) {
    if (!query.musicBrainzDiscId.isEmpty())
        return query.musicBrainzDiscId;
    return query.freedbId ? QStringLiteral("freedb-%1").arg(query.freedbId, 8, 16, QChar('0'))
                          : QString();
}

DiscLookup::DiscLookup(QObject* parent) : QObject(parent) {
    m_wait.setSingleShot(true);
    connect(&m_wait, &QTimer::timeout, this, [this] { std::exchange(m_next, nullptr)(); });
}

DiscLookup::~DiscLookup() {
    cancel();
}

void DiscLookup::cancel() {
    m_wait.stop();
    m_next = nullptr;
    if (m_reply)
        DropGet(m_reply);
}

void DiscLookup::later(std::chrono::milliseconds delay, std::function<void()> next) {
    m_next = std::move(next);
    m_wait.start(delay);
}

void DiscLookup::get(const QUrl& url, std::function<void(const HttpAnswer&)> done) {
    m_reply = StartGet(m_network, url, m_requestLimit, std::move(done));
}

void DiscLookup::step(const QString& where, const QString& what) {
    m_result.steps << where + QStringLiteral(": ") + what;
}

void DiscLookup::lookup(const DiscQuery& query) {
    cancel();
    m_query = query;
    m_result = LookupResult();
    m_busyAnswers = 0;
    if (auto cached = CachedReleases(DiscCacheKey(query))) {
        m_result.releases = *cached;
        step(QStringLiteral("cache"), Count(cached->size(), "release", "releases"));
        return finish(ReleaseSource::Cache);
    }
    step(QStringLiteral("cache"), QStringLiteral("nothing stored"));
    askMusicBrainz(MusicBrainzAsk::ByDiscId);
}

void DiscLookup::askMusicBrainz(MusicBrainzAsk ask) {
    if (m_query.musicBrainzDiscId.isEmpty())
        return askGnudb();
    const auto sinceLast = std::chrono::steady_clock::now() - g_lastMusicBrainzRequest;
    if (sinceLast < m_spacing) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(m_spacing - sinceLast);
        return later(wait, [this, ask] { askMusicBrainz(ask); });
    }
    g_lastMusicBrainzRequest = std::chrono::steady_clock::now();
    get(MusicBrainzUrl(m_query, ask == MusicBrainzAsk::ByDurations),
        [this, ask](const HttpAnswer& answer) { onMusicBrainz(ask, answer); });
}

void DiscLookup::onMusicBrainz(MusicBrainzAsk ask, const HttpAnswer& answer) {
    const QString where = QStringLiteral("MusicBrainz");
    if (answer.status == 503 && m_busyAnswers < kBusyRetries) {
        ++m_busyAnswers;
        step(where, QStringLiteral("busy (503), asking again"));
        const auto wait = std::clamp<std::chrono::milliseconds>(answer.retryAfter, m_spacing, 10s);
        return later(wait, [this, ask] { askMusicBrainz(ask); });
    }
    if (answer.status == 404 && ask == MusicBrainzAsk::ByDiscId && !m_query.toc.isEmpty()) {
        step(where, QStringLiteral("disc id not known (404), searching by track lengths"));
        return askMusicBrainz(MusicBrainzAsk::ByDurations);
    }
    if (answer.status != 200) {
        step(where,
             answer.status == 404 ? QStringLiteral("disc not known (404)") : Failure(answer));
        return askGnudb();
    }
    const bool byId = ask == MusicBrainzAsk::ByDiscId;
    m_result.releases = byId ? ParseMusicBrainzDiscAnswer(answer.body, m_query.musicBrainzDiscId)
                             : ParseMusicBrainzTocAnswer(answer.body, m_query.trackCount);
    step(where, Count(m_result.releases.size(), "release", "releases") +
                    (byId ? QString() : QStringLiteral(" by track lengths (guesses)")));
    if (m_result.releases.isEmpty())
        return askGnudb();
    finish(ReleaseSource::MusicBrainz);
}

void DiscLookup::askGnudb() {
    if (m_query.freedbId == 0 || m_query.offsets.isEmpty()) {
        step(QStringLiteral("gnudb"), QStringLiteral("not asked, no freedb id"));
        return finish(ReleaseSource::None);
    }
    const QUrl url = GnudbQueryUrl(ServiceBase("MIVO_GNUDB_URL", "http://gnudb.gnudb.org"),
                                   m_query.freedbId, m_query.offsets, m_query.discSeconds);
    get(url, [this](const HttpAnswer& answer) { onGnudbQuery(answer); });
}

void DiscLookup::onGnudbQuery(const HttpAnswer& answer) {
    const QString where = QStringLiteral("gnudb");
    if (answer.status != 200) {
        step(where, Failure(answer));
        return finish(ReleaseSource::None);
    }
    const GnudbQueryReply reply = ParseGnudbQueryReply(answer.body);
    if (reply.kind != GnudbQueryReply::Kind::Matches) {
        const bool none = reply.kind == GnudbQueryReply::Kind::NoMatch;
        step(where, none ? QStringLiteral("no match")
                         : QStringLiteral("answer not understood: ") + CleanText(reply.message));
        return finish(ReleaseSource::None);
    }
    const bool guesses = reply.matches.first().guess;
    step(where, Count(reply.matches.size(), guesses ? "inexact match (a guess)" : "match",
                      guesses ? "inexact matches (guesses)" : "matches"));
    readNextGnudbEntry(reply.matches.mid(0, kMostGnudbEntries));
}

void DiscLookup::readNextGnudbEntry(QList<GnudbMatch> matches) {
    if (matches.isEmpty())
        return finish(m_result.releases.isEmpty() ? ReleaseSource::None : ReleaseSource::Gnudb);
    const GnudbMatch match = matches.takeFirst();
    const QUrl url = GnudbReadUrl(ServiceBase("MIVO_GNUDB_URL", "http://gnudb.gnudb.org"), match);
    get(url, [this, match, matches](const HttpAnswer& answer) {
        onGnudbEntry(match, answer);
        readNextGnudbEntry(matches);
    });
}

void DiscLookup::onGnudbEntry(const GnudbMatch& match, const HttpAnswer& answer) {
    const QString entry = match.category + '/' + match.discId;
    if (answer.status != 200)
        return step(QStringLiteral("gnudb"),
                    entry + QStringLiteral(" not read: ") + Failure(answer));
    auto release = ParseGnudbReadReply(answer.body);
    if (!release)
        return step(QStringLiteral("gnudb"), entry + QStringLiteral(" not understood"));
    release->guess = match.guess;
    m_result.releases << *release;
    step(QStringLiteral("gnudb"), entry + QStringLiteral(" read"));
}

void DiscLookup::finish(ReleaseSource source) {
    m_result.source = source;
    if (source == ReleaseSource::MusicBrainz || source == ReleaseSource::Gnudb) {
        if (!StoreReleases(DiscCacheKey(m_query), m_result.releases))
            step(QStringLiteral("cache"), QStringLiteral("not written"));
    }
    // Said from a timer of its own, so a receiver may delete the lookup there and then.
    later(0ms, [this] { emit finished(m_result); });
}
