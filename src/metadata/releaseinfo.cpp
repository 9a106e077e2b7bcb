#include "metadata/releaseinfo.h"

#include <utility>

namespace {

// Cuts text, never between the two halves of a character outside the basic plane.
void Cut(QString& text, const QString& what, QStringList& notes) {
    if (text.size() <= kLongestReleaseText)
        return;
    const qsizetype length = text.size();
    text.truncate(kLongestReleaseText);
    if (text.back().isHighSurrogate())
        text.chop(1);
    notes << QStringLiteral("%1 cut to its first %2 of %3 characters")
                 .arg(what)
                 .arg(kLongestReleaseText)
                 .arg(length);
}

} // namespace

QString SourceName(ReleaseSource source) {
    switch (source) {
    case ReleaseSource::MusicBrainz:
        return QStringLiteral("MusicBrainz");
    case ReleaseSource::Gnudb:
        return QStringLiteral("gnudb");
    case ReleaseSource::CdText:
        return QStringLiteral("CD-TEXT");
    case ReleaseSource::Cache:
        return QStringLiteral("cache");
    case ReleaseSource::None:
        break;
    }
    return QStringLiteral("none");
}

QString CleanText(const QString& text) {
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text) {
        if (c == '\t' || c == '\n' || c == '\r')
            clean += ' ';
        else if (c.category() != QChar::Other_Control)
            clean += c;
    }
    return clean.trimmed();
}

QStringList CutLongTexts(ReleaseInfo& release) {
    QStringList notes;
    Cut(release.title, QStringLiteral("album title"), notes);
    Cut(release.artist, QStringLiteral("album artist"), notes);
    for (qsizetype i = 0; i < release.tracks.size(); ++i) {
        const QString track = QStringLiteral("track %1 ").arg(i + 1);
        Cut(release.tracks[i].title, track + QStringLiteral("title"), notes);
        Cut(release.tracks[i].artist, track + QStringLiteral("artist"), notes);
    }
    for (auto [text, what] : {std::pair{&release.country, "country"},
                              {&release.label, "label"},
                              {&release.catalogNumber, "catalog number"},
                              {&release.barcode, "barcode"},
                              {&release.genre, "genre"},
                              {&release.releaseId, "release id"}})
        Cut(*text, QString::fromLatin1(what), notes);
    return notes;
}

void CutLongTexts(QList<ReleaseInfo>& releases, QStringList& notes) {
    for (qsizetype i = 0; i < releases.size(); ++i)
        for (const QString& note : CutLongTexts(releases[i]))
            notes << (releases.size() == 1 ? note
                                           : QStringLiteral("release %1 of %2: %3")
                                                 .arg(i + 1)
                                                 .arg(releases.size())
                                                 .arg(note));
}
