#include "rip/ripspool.h"

#include <QDir>
#include <QRegularExpression>

#include <unistd.h>

namespace {
const QString kPrefix = QStringLiteral(".mivo-spool-");
} // namespace

RipSpool::RipSpool(const QString& outputFolder)
    : m_folder(QDir(outputFolder).filePath(kPrefix + QString::number(::getpid()))) {}

RipSpool::~RipSpool() {
    if (m_made)
        QDir(m_folder).removeRecursively();
}

QString RipSpool::trackFile(int number) {
    if (!m_made)
        m_made = QDir().mkpath(m_folder);
    return QDir(m_folder).filePath(QStringLiteral("TRACK") + QString::number(number) +
                                   QStringLiteral(".wav"));
}

bool RipSpool::IsSpoolName(const QString& name, qint64& pid) {
    static const QRegularExpression spool(QStringLiteral(R"(^\.mivo-spool-(\d+)$)"));
    const QRegularExpressionMatch match = spool.match(name);
    if (!match.hasMatch())
        return false;
    pid = match.captured(1).toLongLong();
    return true;
}
