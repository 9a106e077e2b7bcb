// The registry's hive files when they cannot be written or understood: what was there stays.

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

TEST_F(Registry, HiveNotUnderstoodReadsDefaultsUntilTheNextSave) {
    const QByteArray contents[] = {"{ \"S\": { \"v\": \"1\" ", "[]", "{ \"S\": \"1\" }",
                                   "{ \"S\": { \"v\": 1 } }", "\xff\xfe garbage"};
    for (const QByteArray& content : contents) {
        SCOPED_TRACE(content.toStdString());
        QDir().mkpath(folder);
        QFile file(hive);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        CRegister fresh(folder);
        EXPECT_EQ(fresh.REGGetSetting(HKEY_LOCAL_MACHINE, "S", "v", kDefault), kDefault);
        EXPECT_EQ(fresh.unreadableHives(), QStringList{hive});
        EXPECT_EQ(ReadAll(hive), content);
        ASSERT_TRUE(save(fresh, "w", "2"));
        EXPECT_EQ(read("w"), "2");
        EXPECT_TRUE(CRegister(folder).unreadableHives().isEmpty());
    }
}

} // namespace
