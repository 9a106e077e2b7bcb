#include "metadata/trackfilename.h"

#include <QRegularExpression>

namespace {

// Room for the extension and a " (2)" within the 255 bytes a file name may have.
constexpr qsizetype kLongestPart = 200;

QString FieldText(const QString& key, const TrackNameFields& fields) {
    const QString number = QString::number(fields.number);
    const QString twoDigits = number.rightJustified(2, '0');
    if (key == QLatin1String("n"))
        return number;
    if (key == QLatin1String("nn"))
        return twoDigits;
    if (key == QLatin1String("title"))
        return fields.title.isEmpty() ? QStringLiteral("Track ") + twoDigits : fields.title;
    if (key == QLatin1String("artist"))
        return fields.artist.isEmpty() ? QStringLiteral("Unknown Artist") : fields.artist;
    if (key == QLatin1String("album"))
        return fields.album.isEmpty() ? QStringLiteral("Unknown Album") : fields.album;
    return fields.year > 0 ? QString::number(fields.year) : QStringLiteral("Unknown Year");
}

// Control characters, separators and what Windows' file systems refuse become "_"; a leading
// dot would hide the file, and "." or ".." would name another folder.
QString SafePart(const QString& part) {
    static const QString kRefused = QStringLiteral("/\\:*?\"<>|");
    QString safe = part;
    for (QChar& c : safe) {
        if (c.category() == QChar::Other_Control || kRefused.contains(c))
            c = '_';
    }
    safe = safe.trimmed();
    for (qsizetype i = 0; i < safe.size() && safe[i] == '.'; ++i)
        safe[i] = '_';
    while (safe.toUtf8().size() > kLongestPart) {
        safe.chop(1);
        if (!safe.isEmpty() && safe.back().isHighSurrogate())
            safe.chop(1);
    }
    return safe.trimmed();
}

QString FilledPart(const QString& part, const TrackNameFields& fields) {
    static const QRegularExpression field(QStringLiteral("\\{(n|nn|title|artist|album|year)\\}"));
    QString filled;
    qsizetype done = 0;
    for (const QRegularExpressionMatch& match : field.globalMatch(part)) {
        filled += part.mid(done, match.capturedStart() - done);
        filled += FieldText(match.captured(1), fields); // its "/" is no folder
        done = match.capturedEnd();
    }
    return SafePart(filled + part.mid(done));
}

} // namespace

QString TrackFileName(const QString& pattern, const TrackNameFields& fields) {
    QStringList parts;
    for (const QString& part : pattern.split('/')) {
        const QString filled = FilledPart(part, fields);
        if (!filled.isEmpty())
            parts << filled;
    }
    if (parts.isEmpty())
        return TrackFileName(kDefaultTrackFilePattern, fields);
    return parts.join('/');
}

QString UniqueFileNames::claim(const QString& name) {
    QString unique = name;
    for (int n = 2; m_taken.contains(unique.toCaseFolded()); ++n)
        unique = name + QStringLiteral(" (%1)").arg(n);
    m_taken.insert(unique.toCaseFolded());
    return unique;
}
