#include "settings/settingvalues.h"

#include <QDir>

#include <cmath>

QString TruthText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<bool> ParseTruth(const QString& text) {
    if (text.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    // Older files may hold the word's numeric form, -1 or 1 for true.
    bool isNumber = false;
    const double number = text.toDouble(&isNumber);
    if (!isNumber || !std::isfinite(number))
        return std::nullopt;
    return number != 0;
}

std::optional<int> ParseInteger(const QString& text) {
    bool isNumber = false;
    const int number = text.toInt(&isNumber, 10);
    if (!isNumber)
        return std::nullopt;
    return number;
}

QString DefaultExtractPath() {
    return QDir::homePath() + QStringLiteral("/Ripped Audio");
}

QString OutputFolderOf(const QString& typed) {
    if (typed.trimmed().isEmpty())
        return typed;
    if (typed == QLatin1String("~") || typed.startsWith(QLatin1String("~/")))
        return QDir::cleanPath(QDir::homePath() + typed.mid(1));
    return QDir::cleanPath(QDir::home().filePath(typed)); // an absolute path stays itself
}
