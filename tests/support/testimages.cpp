#include "support/testimages.h"

#include <QCoreApplication>
#include <QDir>

QString TestImagesFolder() {
    const QString fromEnv = qEnvironmentVariable("MIVO_TEST_IMAGES");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QDir(QCoreApplication::applicationDirPath() + "/../testdiscs").absolutePath();
}

QString TestImage(const QString& name) {
    return TestImagesFolder() + "/" + name;
}
