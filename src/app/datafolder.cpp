#include "app/datafolder.h"

#include <QDir>
#include <QFileInfo>

QString DataFolder(const QString& programFolder) {
    if (QFileInfo::exists(programFolder + QStringLiteral("/Main.qml")))
        return programFolder;
    // MIVO_DATA_FROM_BIN: the installed data folder relative to the installed program.
    return QDir::cleanPath(programFolder + QStringLiteral("/" MIVO_DATA_FROM_BIN));
}
