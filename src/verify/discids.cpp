#include "verify/discids.h"

#include <QCryptographicHash>
#include <QStringList>

namespace {

int DigitSum(qint32 n) {
    int sum = 0;
    for (; n > 0; n /= 10)
        sum += n % 10;
    return sum;
}

qint32 Seconds(qint32 lsn) {
    return (lsn + kLbaOfLsn0) / kSectorsPerSecond;
}

} // namespace

AccurateRipIds AccurateRipDiscIds(const DiscToc& toc) {
    AccurateRipIds ids;
    for (const int audio : toc.audioTracks()) {
        const qint32 lsn = toc.tracks[audio].lsn;
        ++ids.audioTracks;
        ids.id1 += quint32(lsn);
        ids.id2 += quint32(std::max(lsn, 1)) * quint32(ids.audioTracks);
    }
    ids.id1 += quint32(toc.leadOut);
    ids.id2 += quint32(toc.leadOut) * quint32(ids.audioTracks + 1);
    ids.id3 = FreedbId(toc);
    return ids;
}

QString AccurateRipPath(const AccurateRipIds& ids) {
    const auto digit = [&](int n) { return QString::number((ids.id1 >> (4 * n)) & 0xf, 16); };
    return QStringLiteral("accuraterip/%1/%2/%3/dBAR-%4.bin")
        .arg(digit(0), digit(1), digit(2), AccurateRipDisplayId(ids));
}

QString AccurateRipDisplayId(const AccurateRipIds& ids) {
    const auto hex = [](quint32 id) { return QStringLiteral("%1").arg(id, 8, 16, QChar('0')); };
    return QStringLiteral("%1-%2-%3-%4")
        .arg(ids.audioTracks, 3, 10, QChar('0'))
        .arg(hex(ids.id1), hex(ids.id2), hex(ids.id3));
}

quint32 FreedbId(const DiscToc& toc) {
    if (toc.tracks.isEmpty())
        return 0;
    int digits = 0;
    for (const DiscToc::Track& track : toc.tracks)
        digits += DigitSum(Seconds(track.lsn));
    const qint32 length = Seconds(toc.leadOut) - Seconds(toc.tracks.first().lsn);
    return quint32(digits % 255) << 24 | quint32(length) << 8 | quint32(toc.tracks.size());
}

QString FreedbIdText(const DiscToc& toc) {
    return QStringLiteral("%1").arg(FreedbId(toc), 8, 16, QChar('0'));
}

QString MusicBrainzDiscId(const DiscToc& toc) {
    const int last = toc.lastAudio(); // MusicBrainz counts up to the last audio track
    QByteArray text = QByteArray::number(toc.firstTrack, 16).rightJustified(2, '0') +
                      QByteArray::number(toc.firstTrack + last, 16).rightJustified(2, '0');
    for (int slot = 0; slot < 100; ++slot) {
        qint32 lba = 0;
        const int index = slot - toc.firstTrack; // slot n holds track number n
        if (slot == 0)
            lba = toc.audioLeadOut + kLbaOfLsn0;
        else if (index >= 0 && index <= last)
            lba = toc.tracks[index].lsn + kLbaOfLsn0;
        text += QByteArray::number(lba, 16).rightJustified(8, '0');
    }
    const QByteArray sha = QCryptographicHash::hash(text.toUpper(), QCryptographicHash::Sha1);
    return QString::fromLatin1(
        sha.toBase64().replace('+', '.').replace('/', '_').replace('=', '-'));
}

QString MusicBrainzToc(const DiscToc& toc) {
    const int last = toc.lastAudio(); // MusicBrainz counts up to the last audio track
    QStringList parts{QString::number(toc.firstTrack), QString::number(toc.firstTrack + last),
                      QString::number(toc.audioLeadOut + kLbaOfLsn0)};
    for (int i = 0; i <= last; ++i)
        parts << QString::number(toc.tracks[i].lsn + kLbaOfLsn0);
    return parts.join('+');
}
