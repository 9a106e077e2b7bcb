#include "rip/files/ripnames.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace {
// This process's mark: 16 hex digits drawn at random once.
QString ProcessMark() {
    static const QString mark =
        QStringLiteral("%1").arg(QRandomGenerator::system()->generate64(), 16, 16, QChar('0'));
    return mark;
}

bool MarkOf(const QRegularExpression& names, const QString& name, QString& mark) {
    const QRegularExpressionMatch match = names.match(name);
    if (!match.hasMatch())
        return false;
    mark = match.captured(1);
    return true;
}
} // namespace

QString SpoolFolderName() {
    return QStringLiteral(".mivo-spool-") + ProcessMark();
}

QString HiddenNameWhileWriting(const QString& finalName) {
    const QFileInfo final(finalName);
    const QString suffix = final.suffix().isEmpty() ? QString() : "." + final.suffix();
    return "." + final.completeBaseName() + QStringLiteral(".mivo-") + ProcessMark() + suffix;
}

bool IsSpoolName(const QString& name, QString& mark) {
    static const QRegularExpression spool(QStringLiteral(R"(^\.mivo-spool-([0-9a-f]{16})$)"));
    return MarkOf(spool, name, mark);
}

bool IsHiddenNameWhileWriting(const QString& name, QString& mark) {
    static const QRegularExpression hidden(
        QStringLiteral(R"(^\..+\.mivo-([0-9a-f]{16})(\.[^.]*)?$)"));
    return MarkOf(hidden, name, mark);
}
