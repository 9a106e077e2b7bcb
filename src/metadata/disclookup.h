#pragma once

// Finds what the disc is: first in the cache, then at MusicBrainz, then at gnudb. The lookup
// runs in the background and ends with one signal that carries the releases found (possibly
// several, for the user to choose) and what each place answered, for the rip log.

#include "metadata/gnudbprotocol.h"
#include "metadata/releaseinfo.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <functional>

struct HttpAnswer;

struct DiscQuery {
    QString musicBrainzDiscId;
    QString toc; // MusicBrainz's "1+N+leadout+offsets…", for the search by durations
    quint32 freedbId = 0;
    int trackCount = 0;  // audio tracks, as MusicBrainz counts them
    QList<int> offsets;  // every track's LBA, data tracks included, as gnudb counts them
    int discSeconds = 0; // the disc's length, for gnudb
};

// The name the cache keeps the disc's releases and the user's choice under.
QString DiscCacheKey(const DiscQuery& query);

struct LookupResult {
    QList<ReleaseInfo> releases;
    ReleaseSource source = ReleaseSource::None; // Cache when no network was needed
    QStringList steps; // "MusicBrainz: disc not known (404)", … in the order they happened
};

class DiscLookup : public QObject {
    Q_OBJECT
public:
    explicit DiscLookup(QObject* parent = nullptr);
    ~DiscLookup() override;

    // A lookup still running is dropped without a signal.
    void lookup(const DiscQuery& query);

    void setRequestLimit(std::chrono::milliseconds limit) { m_requestLimit = limit; }
    void setMusicBrainzSpacing(std::chrono::milliseconds spacing) { m_spacing = spacing; }

signals:
    // Once per lookup; the receiver may delete the lookup.
    void finished(const LookupResult& result);

private:
    enum class MusicBrainzAsk { ByDiscId, ByDurations };

    void cancel();
    void later(std::chrono::milliseconds delay, std::function<void()> next);
    void get(const QUrl& url, std::function<void(const HttpAnswer&)> done);
    void askMusicBrainz(MusicBrainzAsk ask);
    void onMusicBrainz(MusicBrainzAsk ask, const HttpAnswer& answer);
    void askGnudb();
    void onGnudbQuery(const HttpAnswer& answer);
    void readNextGnudbEntry(QList<GnudbMatch> matches);
    void onGnudbEntry(const GnudbMatch& match, const HttpAnswer& answer);
    void finish(ReleaseSource source);
    void step(const QString& where, const QString& what);

    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    QTimer m_wait;
    std::function<void()> m_next;
    std::chrono::milliseconds m_requestLimit{10000};
    std::chrono::milliseconds m_spacing{1000};
    DiscQuery m_query;
    LookupResult m_result;
    int m_busyAnswers = 0;
};
