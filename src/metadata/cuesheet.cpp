#include "metadata/cuesheet.h"

#include "common/product.h"
#include "metadata/releaseinfo.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <optional>
#include <utility>

namespace {

// A stretch of the disc's sectors that one file holds from its start.
struct HeldSpan {
    QString file;
    qint32 first = 0;
    qint32 end = 0;
};

// "mm:ss:ff", 75 frames a second.
QString CueTime(qint32 sectors) {
    return QStringLiteral("%1:%2:%3")
        .arg(sectors / (60 * kSectorsPerSecond), 2, 10, QLatin1Char('0'))
        .arg(sectors / kSectorsPerSecond % 60, 2, 10, QLatin1Char('0'))
        .arg(sectors % kSectorsPerSecond, 2, 10, QLatin1Char('0'));
}

// A sheet's text stays on its line and inside its quotes: breaks and control characters go, and
// straight double quotes become typographic ones, opening and closing in turn.
QString Quoted(const QString& text) {
    QString quoted = CleanText(text);
    bool open = true;
    for (QChar& c : quoted)
        if (c == QLatin1Char('"'))
            c = std::exchange(open, !open) ? QChar(0x201C) : QChar(0x201D);
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

class CueWriter {
public:
    explicit CueWriter(const CueSheetDisc& disc) : m_disc(disc) { writeDisc(); }

    // Tracks in disc order; spans: the files and the sectors each holds.
    QString write(const QList<CueSheetTrack>& tracks, const QList<HeldSpan>& spans) {
        m_spans = spans;
        for (const CueSheetTrack& track : tracks)
            if (track.track >= 0 && track.track < m_disc.toc.tracks.size() &&
                m_disc.toc.tracks[track.track].audio)
                writeTrack(track);
        return m_text;
    }

private:
    void line(const QString& text) { m_text += text + QLatin1Char('\n'); }

    void writeDisc() {
        if (m_disc.year > 0)
            line(QStringLiteral("REM DATE %1").arg(m_disc.year));
        remark(QStringLiteral("DISCID"), m_disc.freedbId.toUpper());
        remark(QStringLiteral("ACCURATERIPID"), m_disc.accurateRipId);
        remark(QStringLiteral("MUSICBRAINZ_DISCID"), m_disc.musicBrainzDiscId);
        line(QStringLiteral("REM COMMENT ") + Quoted(kProductName + ' ' + kProductVersion));
        if (IsMcn(m_disc.subcode.mcn))
            line(QStringLiteral("CATALOG ") + m_disc.subcode.mcn);
        field(QString(), QStringLiteral("PERFORMER"), m_disc.performer);
        field(QString(), QStringLiteral("TITLE"), m_disc.title);
    }

    void remark(const QString& name, const QString& id) {
        static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9._-]+$"));
        if (safe.match(id).hasMatch())
            line(QStringLiteral("REM ") + name + ' ' + id);
    }

    void field(const QString& indent, const QString& name, const QString& text) {
        if (!CleanText(text).isEmpty())
            line(indent + name + ' ' + Quoted(text));
    }

    // TRACK and what the disc says of it go with the file that holds its first index: INDEX 00
    // at the end of the previous track's file, INDEX 01 at the start of its own.
    void writeTrack(const CueSheetTrack& track) {
        const qint32 start = m_disc.toc.tracks[track.track].lsn;
        const std::optional<qint32> pregap = pregapOf(track.track);
        const HeldSpan* gapFile = pregap ? spanHolding(*pregap) : nullptr;
        const HeldSpan* startFile = spanHolding(start);
        if (startFile == nullptr)
            return;
        useFile(gapFile != nullptr ? *gapFile : *startFile);
        line(QStringLiteral("  TRACK %1 AUDIO")
                 .arg(m_disc.toc.firstTrack + track.track, 2, 10, QLatin1Char('0')));
        field(QStringLiteral("    "), QStringLiteral("TITLE"), track.title);
        field(QStringLiteral("    "), QStringLiteral("PERFORMER"), track.performer);
        writeCodes(m_disc.subcode.tracks.value(track.track));
        if (gapFile != nullptr)
            line(QStringLiteral("    INDEX 00 ") + CueTime(*pregap - gapFile->first));
        else if (pregap && start == startFile->first) // kept in place by silence
            line(QStringLiteral("    PREGAP ") + CueTime(start - *pregap));
        useFile(*startFile);
        line(QStringLiteral("    INDEX 01 ") + CueTime(start - startFile->first));
    }

    // The first track's pregap is the disc's start when it starts after sector 0.
    std::optional<qint32> pregapOf(int track) const {
        const qint32 start = m_disc.toc.tracks[track].lsn;
        std::optional<qint32> pregap = m_disc.subcode.tracks.value(track).pregap;
        if (track == 0 && start > 0)
            pregap = 0;
        return pregap && *pregap < start ? pregap : std::nullopt;
    }

    void writeCodes(const DiscSubcode::Track& codes) {
        QString flags;
        if (codes.copyPermitted)
            flags += QStringLiteral(" DCP");
        if (codes.fourChannels)
            flags += QStringLiteral(" 4CH");
        if (codes.preEmphasis)
            flags += QStringLiteral(" PRE");
        if (!flags.isEmpty())
            line(QStringLiteral("    FLAGS") + flags);
        if (IsIsrc(codes.isrc))
            line(QStringLiteral("    ISRC ") + codes.isrc);
    }

    const HeldSpan* spanHolding(qint32 sector) const {
        for (const HeldSpan& span : m_spans)
            if (span.first <= sector && sector < span.end)
                return &span;
        return nullptr;
    }

    void useFile(const HeldSpan& span) {
        if (m_file == &span)
            return;
        m_file = &span;
        QString name = span.file;
        name.replace(QLatin1Char('"'), QLatin1Char('_'));
        line(QStringLiteral("FILE \"%1\" ").arg(name) + CueFileType(name));
    }

    const CueSheetDisc& m_disc;
    QList<HeldSpan> m_spans;
    const HeldSpan* m_file = nullptr;
    QString m_text;
};

// What the rip puts in a track's file: from its INDEX 01 to the next track's (the hidden track:
// from the disc's start to the first track's).
HeldSpan SpanOfTrack(const DiscToc& toc, const CueSheetTrack& track) {
    if (track.track < 0)
        return {track.file, 0, toc.tracks.isEmpty() ? 0 : toc.tracks.front().lsn};
    if (track.track >= toc.tracks.size())
        return {track.file, 0, 0};
    return {track.file, toc.tracks[track.track].lsn, TrackEnd(toc, track.track)};
}

} // namespace

QString TrackFilesCueSheet(const CueSheetDisc& disc, const QList<CueSheetTrack>& tracks) {
    QList<HeldSpan> spans;
    for (const CueSheetTrack& track : tracks)
        spans << SpanOfTrack(disc.toc, track);
    return CueWriter(disc).write(tracks, spans);
}

QString DiscImageCueSheet(const CueSheetDisc& disc, const QString& file, qint32 firstSector,
                          const QList<CueSheetTrack>& tracks) {
    return CueWriter(disc).write(tracks, {{file, firstSector, disc.toc.audioLeadOut}});
}

QString CueFileType(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("mp3"))
        return QStringLiteral("MP3");
    if (suffix == QLatin1String("aif") || suffix == QLatin1String("aiff"))
        return QStringLiteral("AIFF");
    return QStringLiteral("WAVE");
}
