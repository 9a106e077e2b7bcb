// A registry hive that may not be written: what was there stays and still reads.

#include "settings/cregister.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kDefault = QStringLiteral("(default)");

QByteArray ReadAll(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

class Registry : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder = dir.filePath(QStringLiteral("Mivo"));
    CRegister reg{folder};
    QString hive = reg.hivePath(HKEY_LOCAL_MACHINE);

    QString read(const QString& name) {
        return CRegister(folder).REGGetSetting(HKEY_LOCAL_MACHINE, "S", name, kDefault);
    }
    bool save(CRegister& where, const QString& name, const QString& text) {
        return where.REGSaveSetting(HKEY_LOCAL_MACHINE, "S", name, text);
    }
};

TEST_F(Registry, HiveThatMayNotBeWrittenStillReads) {
    ASSERT_TRUE(save(reg, "v", "kept"));
    const QByteArray before = ReadAll(hive);
    QFile::setPermissions(hive, QFile::ReadOwner);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    const bool permissionsHold = !QFile(QDir(folder).filePath("probe")).open(QIODevice::WriteOnly);
    if (permissionsHold) {
        EXPECT_EQ(read("v"), "kept");
        EXPECT_FALSE(save(reg, "v", "changed"));
        EXPECT_TRUE(reg.lastError().contains(hive));
        EXPECT_EQ(ReadAll(hive), before);
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!permissionsHold)
        GTEST_SKIP() << "running as root: permission bits do not stop writing";
}

} // namespace
