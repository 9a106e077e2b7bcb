#include "metadata/trackfilename.h"

#include <QRegularExpression>

#include <algorithm>

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
    if (key == QLatin1String("format"))
        return fields.format.isEmpty() ? QStringLiteral("Unknown Format") : fields.format;
    return fields.year > 0 ? QString::number(fields.year) : QStringLiteral("Unknown Year");
}

// Invisible characters that could make a name look like another one (control and format
// characters such as a right-to-left override, line and paragraph separators), separators, and
// what Windows' file systems refuse.
bool Unsafe(char32_t c) {
    static const QString kRefused = QStringLiteral("/\\:*?\"<>|");
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return c < 0x80 && kRefused.contains(QChar(c));
    }
}

// Windows and FAT memory sticks refuse a device's name as a file's, whatever its extension.
bool IsDeviceName(const QString& part) {
    static const QRegularExpression device(
        QStringLiteral(R"(^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(\..*)?$)"),
        QRegularExpression::CaseInsensitiveOption);
    return device.match(part).hasMatch();
}

// Unsafe characters become "_"; a leading dot would hide the file, and "." or ".." would name
// another folder; Windows drops trailing dots and spaces, so "Live." would be "Live" there.
QString SafePart(const QString& part) {
    QString safe;
    for (const char32_t c : part.toUcs4())
        safe += Unsafe(c) ? QString(QLatin1Char('_')) : QString::fromUcs4(&c, 1);
    safe = safe.trimmed();
    for (qsizetype i = 0; i < safe.size() && safe[i] == '.'; ++i)
        safe[i] = '_';
    while (safe.toUtf8().size() > kLongestPart) {
        safe.chop(1);
        if (!safe.isEmpty() && safe.back().isHighSurrogate())
            safe.chop(1);
    }
    safe = safe.trimmed();
    for (qsizetype i = safe.size() - 1; i >= 0 && (safe[i] == '.' || safe[i] == ' '); --i)
        safe[i] = '_';
    return IsDeviceName(safe) ? QLatin1Char('_') + safe : safe;
}

QString FilledPart(const QString& part, const TrackNameFields& fields) {
    static const QRegularExpression field(
        QStringLiteral("\\{(n|nn|title|artist|album|year|format)\\}"));
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

QString SecondFormatPattern(const QString& firstPattern, const QString& typed, bool sameExtension) {
    const QString first =
        firstPattern.trimmed().isEmpty() ? kDefaultTrackFilePattern : firstPattern;
    const QString inFolder = QStringLiteral("{format}/") + first;
    if (typed.trimmed().isEmpty())
        return inFolder;
    return typed == first && sameExtension ? inFolder : typed;
}

QString DiscFileName(const QString& album, const QString& extension) {
    const QString name = SafePart(album);
    return (name.isEmpty() ? QStringLiteral("Disc") : name) + QLatin1Char('.') + extension;
}

int PatternFolderLevels(const QString& pattern) {
    return std::max<int>(0, int(pattern.split('/', Qt::SkipEmptyParts).size()) - 1);
}

QString UniqueFileNames::claim(const QString& name) {
    QString unique = name;
    for (int n = 2; m_taken.contains(unique.toCaseFolded()); ++n)
        unique = name + QStringLiteral(" (%1)").arg(n);
    m_taken.insert(unique.toCaseFolded());
    return unique;
}
