#include "metadata/releaseinfo.h"

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
