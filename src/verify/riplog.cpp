#include "verify/riplog.h"

#include "common/product.h"
#include "verify/discids.h"

#include <QCryptographicHash>

namespace {

QString Hex(quint32 value) {
    return QStringLiteral("%1").arg(value, 8, 16, QChar('0')).toUpper();
}

// mm:ss.ff, ff in sectors (75 a second)
QString Time(qint32 sectors) {
    const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QChar('0')); };
    return two(sectors / (60 * kSectorsPerSecond)) + ':' + two(sectors / kSectorsPerSecond % 60) +
           '.' + two(sectors % kSectorsPerSecond);
}

QString OrNone(const QString& text) {
    return text.isEmpty() ? QStringLiteral("none") : text;
}

QString Row(const QStringList& cells) {
    QString row;
    for (const QString& cell : cells)
        row += cell.leftJustified(16);
    return row.trimmed() + '\n';
}

QString DriveSection(const RipLogFacts& facts) {
    const auto& drive = facts.drive;
    const QString mode =
        drive.paranoia ? (drive.mostCareful ? "on, most careful (no sector patched over)" : "on")
                       : "off";
    return QStringLiteral("Drive\nName: %1\nVendor: %2\nModel: %3\nRead mode: paranoia %4\n"
                          "Read each track twice: %5\nRead offset: %6 samples\n\n")
        .arg(drive.name, OrNone(drive.vendor), OrNone(drive.model), mode,
             drive.readTwice ? QStringLiteral("yes, until two reads agree") : QStringLiteral("no"),
             (drive.readOffset > 0 ? "+" : "") + QString::number(drive.readOffset));
}

// "Rips again: tracks 2 and 4 of the rip logged in "Mivo rip … .log"".
QString RipAgainLine(const RipLogFacts& facts) {
    if (facts.ripAgainOf.isEmpty())
        return {};
    QStringList numbers;
    for (const RipLogTrack& track : facts.tracks)
        numbers << QString::number(track.number);
    const QString last = numbers.takeLast();
    const QString list = numbers.isEmpty() ? QStringLiteral("track ") + last
                                           : QStringLiteral("tracks ") + numbers.join(", ") +
                                                 QStringLiteral(" and ") + last;
    return QStringLiteral("Rips again: %1 of the rip logged in \"%2\"\n")
        .arg(list, facts.ripAgainOf);
}

// Where the track's pregap (INDEX 00) starts, its ISRC and its flags, as the subcode says.
QStringList SubcodeCells(const DiscSubcode& subcode, qsizetype i) {
    if (i >= subcode.tracks.size())
        return {"unknown", "none", "none"};
    const DiscSubcode::Track& track = subcode.tracks[i];
    QStringList flags;
    if (track.preEmphasis)
        flags << "pre-emphasis";
    if (track.copyPermitted)
        flags << "copy";
    if (track.fourChannels)
        flags << "4ch";
    const QString pregap = !subcode.pregapsDetected ? QStringLiteral("not detected")
                           : track.pregap           ? QString::number(*track.pregap)
                                                    : QStringLiteral("none");
    return {pregap, OrNone(track.isrc), flags.isEmpty() ? "none" : flags.join(',')};
}

QString TocSection(const DiscToc& toc, const std::optional<DiscSubcode>& subcode) {
    QStringList head{"Track", "Start sector", "Length", "Start time", "Kind"};
    if (subcode)
        head << "Index 00"
             << "ISRC"
             << "Flags";
    QString text = QStringLiteral("Table of contents\n") + Row(head);
    if (subcode && subcode->hiddenAudio && !toc.tracks.isEmpty())
        text += Row({"0", "0", Time(toc.tracks.first().lsn), Time(0), "hidden track"});
    for (qsizetype i = 0; i < toc.tracks.size(); ++i) {
        const DiscToc::Track& track = toc.tracks[i];
        QStringList cells{QString::number(DiscTrack::At(toc, int(i)).number),
                          QString::number(track.lsn), Time(TrackEnd(toc, i) - track.lsn),
                          Time(track.lsn), QString(track.audio ? "audio" : "data")};
        if (subcode)
            cells << SubcodeCells(*subcode, i);
        text += Row(cells);
    }
    if (subcode) {
        text += QStringLiteral("Catalog number (MCN): ") + OrNone(subcode->mcn) + '\n';
        for (const QString& note : subcode->notes)
            text += QStringLiteral("Subcode: ") + note + '\n';
    }
    return text + '\n';
}

QString IdsSection(const RipLogFacts& facts) {
    const auto& titles = facts.titles;
    return QStringLiteral("Disc\nAccurateRip disc ID: %1\nfreedb disc ID: %2\n"
                          "MusicBrainz disc ID: %3\nAlbum: %4\nArtist: %5\nTitles from: %6\n"
                          "MusicBrainz release ID: %7\n")
               .arg(AccurateRipDisplayId(AccurateRipDiscIds(facts.toc)), FreedbIdText(facts.toc),
                    MusicBrainzDiscId(facts.toc), OrNone(titles.album), OrNone(titles.artist),
                    OrNone(titles.source), OrNone(titles.musicBrainzReleaseId)) +
           (titles.lookupNotes.isEmpty()
                ? QString()
                : "Lookup: " + titles.lookupNotes.join("\nLookup: ") + '\n') +
           '\n';
}

QString OutputSection(const RipLogFacts& facts) {
    QString text = QStringLiteral("Output\nFormat: %1\nEncoder command line: %2\n")
                       .arg(facts.outputFormat, OrNone(facts.encoderCommand));
    for (const QString& note : facts.folderNotes)
        text += QStringLiteral("Clean-up: ") + note + '\n';
    for (const QString& note : facts.outputNotes)
        text += note + '\n';
    return text + '\n';
}

QString WithReason(const QString& text, const QString& reason) {
    return reason.isEmpty() ? text : text + QStringLiteral(" (") + reason + ')';
}

QString ResultWithReason(const RipLogTrack& track) {
    return track.ripped() ? WithReason(VerdictText(track.verdict), track.verdict.reason)
                          : track.result();
}

// A checksum of a track not read to its end means nothing: "none".
QString HexOr(const std::optional<TrackSums>& sums, quint32 TrackSums::*field) {
    return sums ? Hex((*sums).*field) : QStringLiteral("none");
}

// A track read more than once: how often, each read's CRC32 when it took more than two, and the
// test read's CRC32: the read the copy agrees with, else the first.
QString ReadsLines(const RipLogTrack& track) {
    const std::vector<quint32>& crcs = track.readCrcs;
    if (crcs.size() < 2)
        return {};
    QStringList each;
    for (const quint32 crc : crcs)
        each << Hex(crc);
    const bool agreed = std::count(crcs.begin(), crcs.end(), crcs.back()) > 1;
    return QStringLiteral("Reads: %1%2\nTest CRC: %3\n")
        .arg(crcs.size())
        .arg(crcs.size() > 2 ? " (CRC32 " + each.join(", ") + ')' : QString())
        .arg(Hex(agreed ? crcs.back() : crcs.front()));
}

QString TrackSection(const RipLogTrack& track) {
    return QStringLiteral("Track %1\nFile: %2\nOutcome: %3\nRead errors: %4\n"
                          "Patched sectors: %5\n")
               .arg(QString::number(track.number), track.fileName,
                    WithReason(track.outcome, track.reason), QString::number(track.readErrors),
                    QString::number(track.patchedSectors)) +
           ReadsLines(track) +
           QStringLiteral("Copy CRC: %1\nAccurateRip v1: %2\nAccurateRip v2: %3\nResult: %4\n")
               .arg(HexOr(track.sums, &TrackSums::crc32), HexOr(track.sums, &TrackSums::v1),
                    HexOr(track.sums, &TrackSums::v2), ResultWithReason(track)) +
           (track.notes.isEmpty() ? QString() : track.notes.join('\n') + '\n') + '\n';
}

QString SummarySection(const RipLogFacts& facts) {
    QString text = QStringLiteral("Summary\n") +
                   Row({"Track", "Copy CRC", "AccurateRip v1", "AccurateRip v2", "Result"});
    for (const RipLogTrack& t : facts.tracks) {
        text += Row({QString::number(t.number), HexOr(t.sums, &TrackSums::crc32),
                     HexOr(t.sums, &TrackSums::v1), HexOr(t.sums, &TrackSums::v2), t.result()});
    }
    text += VerificationSummary(facts.tracks) + '\n';
    if (facts.stopped)
        text += QStringLiteral("The job was stopped before its end.\n");
    return text;
}

} // namespace

QString RipLogTrack::result() const {
    return ripped() ? VerdictText(verdict) : outcome;
}

QString VerificationSummary(const QList<RipLogTrack>& tracks) {
    using Result = TrackVerdict::Result;
    const auto count = [&](Result result) {
        return std::count_if(tracks.cbegin(), tracks.cend(), [&](const RipLogTrack& t) {
            return t.ripped() && t.verdict.result == result;
        });
    };
    if (tracks.isEmpty())
        return QStringLiteral("No track was ripped");
    if (count(Result::Accurate) == tracks.size())
        return QStringLiteral("All tracks accurate");
    const QString& reason = tracks.first().verdict.reason;
    if (count(Result::NotChecked) == tracks.size())
        return "None checked with AccurateRip" + (reason.isEmpty() ? QString() : ": " + reason);
    if (count(Result::NotInDatabase) == tracks.size())
        return QStringLiteral("None checked with AccurateRip: the disc is not in its database");
    return QStringLiteral("%1 of %2 tracks accurate")
        .arg(count(Result::Accurate))
        .arg(tracks.size());
}

QString RipLogText(const RipLogFacts& facts) {
    QString text =
        QStringLiteral("%1 %2 rip log\nStarted: %3\n%4\n")
            .arg(kProductName, kProductVersion,
                 facts.start.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), RipAgainLine(facts));
    text += DriveSection(facts) + TocSection(facts.toc, facts.subcode) + IdsSection(facts) +
            OutputSection(facts);
    for (const RipLogTrack& track : facts.tracks)
        text += TrackSection(track);
    text += SummarySection(facts) + '\n';
    const QByteArray hash = QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256);
    return text + "SHA-256: " + QString::fromLatin1(hash.toHex()) + '\n';
}

QString RipLogFileName(const QDateTime& start, int copy) {
    const QString second =
        start.toLocalTime().toString(QStringLiteral("'Mivo rip 'yyyy-MM-dd HH-mm-ss"));
    return second + (copy > 1 ? QStringLiteral(" (%1)").arg(copy) : QString()) +
           QStringLiteral(".log");
}
