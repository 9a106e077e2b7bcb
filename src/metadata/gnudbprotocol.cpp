#include "metadata/gnudbprotocol.h"

#include "common/product.h"

#include <QMap>

namespace {

// Who asks: no user or host names leave the machine.
const QString kHello = QStringLiteral("anonymous+localhost+mivo+");
constexpr int kMostTracks = 99;

QString Encoded(const QString& text) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QUrl CgiUrl(QString base, const QString& command) {
    while (base.endsWith('/'))
        base.chop(1);
    QUrl url(base + QStringLiteral("/~cddb/cddb.cgi"));
    url.setQuery(QStringLiteral("cmd=") + command + QStringLiteral("&hello=") + kHello +
                 Encoded(kProductVersion) + QStringLiteral("&proto=6"));
    return url;
}

QStringList Lines(const QString& text) {
    QStringList lines = text.split('\n');
    for (QString& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

int StatusCode(const QStringList& lines) {
    return lines.isEmpty() ? 0 : lines.first().section(' ', 0, 0).toInt();
}

// The lines after the status line, up to the "." that ends a list; nothing if it never ends.
QStringList ListBody(const QStringList& lines) {
    const qsizetype end = lines.indexOf(QStringLiteral("."), 1);
    return end < 0 ? QStringList() : lines.mid(1, end - 1);
}

// "category discid Artist / Title", as a 200 reply's status line and each list line read.
std::optional<GnudbMatch> MatchLine(const QString& line) {
    const QStringList words = line.split(' ');
    if (words.size() < 2 || words[0].isEmpty() || words[1].isEmpty())
        return std::nullopt;
    return GnudbMatch{words[0], words[1], CleanText(line.section(' ', 2))};
}

QString Unescaped(const QString& value) {
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar next = i + 1 < value.size() ? value[i + 1] : QChar();
        if (value[i] != '\\' || (next != 'n' && next != 't' && next != '\\')) {
            text += value[i];
            continue;
        }
        text += next == 'n' ? QChar('\n') : next == 't' ? QChar('\t') : QChar('\\');
        ++i;
    }
    return CleanText(text);
}

// A value continued on further lines is one value; its escapes are read once it is whole.
QMap<QString, QString> XmcdValues(const QString& record) {
    QMap<QString, QString> values;
    for (const QString& line : Lines(record)) {
        const qsizetype equals = line.indexOf('=');
        if (line.startsWith('#') || equals <= 0)
            continue;
        values[line.left(equals).trimmed().toUpper()] += line.mid(equals + 1);
    }
    for (QString& value : values)
        value = Unescaped(value);
    return values;
}

// "Artist / Title"; without the separator the whole text is the title.
std::pair<QString, QString> ArtistAndTitle(const QString& text) {
    const qsizetype slash = text.indexOf(QStringLiteral(" / "));
    if (slash < 0)
        return {QString(), text};
    return {text.left(slash).trimmed(), text.mid(slash + 3).trimmed()};
}

void ReadTrackTitle(const QString& key, const QString& value, ReleaseInfo& release) {
    bool isNumber = false;
    const int index = key.mid(6).toInt(&isNumber);
    if (!isNumber || index < 0 || index >= kMostTracks)
        return;
    while (release.tracks.size() <= index)
        release.tracks << TrackInfo{QString(), release.artist, QString()};
    auto [artist, title] = ArtistAndTitle(value); // a compilation names each track's artist
    release.tracks[index].title = title;
    if (!artist.isEmpty())
        release.tracks[index].artist = artist;
}

} // namespace

QUrl GnudbQueryUrl(const QString& base, quint32 freedbId, const QList<int>& offsets,
                   int discSeconds) {
    QStringList words = {QStringLiteral("cddb"), QStringLiteral("query"),
                         QStringLiteral("%1").arg(freedbId, 8, 16, QChar('0')),
                         QString::number(offsets.size())};
    for (const int offset : offsets)
        words << QString::number(offset);
    words << QString::number(discSeconds);
    return CgiUrl(base, words.join('+'));
}

QUrl GnudbReadUrl(const QString& base, const GnudbMatch& match) {
    return CgiUrl(base, QStringLiteral("cddb+read+") + Encoded(match.category) + '+' +
                            Encoded(match.discId));
}

GnudbQueryReply ParseGnudbQueryReply(const QByteArray& reply) {
    const QStringList lines = Lines(QString::fromUtf8(reply));
    GnudbQueryReply parsed;
    parsed.message = lines.value(0).left(200);
    const int code = StatusCode(lines);
    if (code == 202) {
        parsed.kind = GnudbQueryReply::Kind::NoMatch;
    } else if (code == 200) {
        if (auto match = MatchLine(lines.first().section(' ', 1)))
            parsed.matches << *match;
    } else if (code == 210 || code == 211) {
        for (const QString& line : ListBody(lines)) {
            if (auto match = MatchLine(line)) {
                match->guess = code == 211;
                parsed.matches << *match;
            }
        }
    }
    if (!parsed.matches.isEmpty())
        parsed.kind = GnudbQueryReply::Kind::Matches;
    return parsed;
}

std::optional<ReleaseInfo> ParseGnudbReadReply(const QByteArray& reply) {
    const QStringList lines = Lines(QString::fromUtf8(reply));
    const QStringList record = ListBody(lines);
    if (StatusCode(lines) != 210 || record.isEmpty())
        return std::nullopt;
    return ParseXmcdRecord(record.join('\n'));
}

ReleaseInfo ParseXmcdRecord(const QString& record) {
    const QMap<QString, QString> values = XmcdValues(record);
    ReleaseInfo release;
    release.source = ReleaseSource::Gnudb;
    const auto [artist, title] = ArtistAndTitle(values.value(QStringLiteral("DTITLE")));
    release.title = title;
    release.artist = artist.isEmpty() ? title : artist;
    release.year = values.value(QStringLiteral("DYEAR")).toInt();
    release.genre = values.value(QStringLiteral("DGENRE"));
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (it.key().startsWith(QLatin1String("TTITLE")))
            ReadTrackTitle(it.key(), it.value(), release);
    }
    return release;
}
