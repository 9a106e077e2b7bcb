// The registry's hive files: what a save reads back, deletes, a hive that may not be written
// and one that cannot be understood.

#include "settings/cregister.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kDefault = QStringLiteral("(default)");
const QString kOddText = QStringLiteral("  # \\ = ; \"quoted\" 'single' [x] %41 ü€日本  ");

QByteArray ReadAll(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

void WriteAll(const QString& file, const QByteArray& bytes) {
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
}

class Registry : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder = dir.filePath(QStringLiteral("Mivo"));
    CRegister reg{folder};
    QString hive = reg.hivePath(HKEY_LOCAL_MACHINE);

    QString read(const QString& section, const QString& name) {
        return CRegister(folder).REGGetSetting(HKEY_LOCAL_MACHINE, section, name, kDefault);
    }
    bool save(const QString& section, const QString& name, const QString& text) {
        return reg.REGSaveSetting(HKEY_LOCAL_MACHINE, section, name, text);
    }
};

struct SaveThenRead {
    const char* what;
    QString saveSection, saveName, text;
    QString readSection, readName, expected;
};

const SaveThenRead kSaveThenRead[] = {
    {"missing key", "Software\\A", "v", "1", "Software\\B", "v", kDefault},
    {"missing value", "S", "v", "1", "S", "w", kDefault},
    {"value of the parent key", "S", "v", "1", "S\\Sub", "v", kDefault},
    {"empty text", "S", "v", "", "S", "v", kDefault},
    {"one character", "S", "v", "x", "S", "v", "x"},
    {"leading backslash", "\\S", "v", "1", "S", "v", "1"},
    {"trailing backslash", "S\\", "v", "1", "\\S", "v", "1"},
    {"unnamed value", "S", "*", "1", "S", "", "1"},
    {"nested key", "Software\\Vantrope\\Settings", "v", "1", "Software\\Vantrope\\Settings", "v",
     "1"},
    {"unusual characters", "S", kOddText, kOddText, "S", kOddText, kOddText},
    {"unusual key names", "A;=#\\ b ü\\\"c\"", "v", "1", "A;=#\\ b ü\\\"c\"", "v", "1"},
};

TEST_F(Registry, ReadsBackWhatWasSaved) {
    for (const SaveThenRead& row : kSaveThenRead) {
        SCOPED_TRACE(row.what);
        QDir(folder).removeRecursively();
        ASSERT_TRUE(save(row.saveSection, row.saveName, row.text)) << reg.lastError().toStdString();
        EXPECT_EQ(read(row.readSection, row.readName), row.expected);
    }
}

struct DeleteThenRead {
    const char* what;
    QString section, name;
    bool deleted;
    QString readSection, readName, expected;
};

const DeleteThenRead kDeleteThenRead[] = {
    {"value", "A", "v", true, "A", "v", kDefault},
    {"value leaves the others", "A", "v", true, "A", "*", "3"},
    {"unnamed value", "A", "*", true, "A", "*", kDefault},
    {"missing value", "A", "w", false, "A", "v", "2"},
    {"key with subkeys", "A", "", false, "A", "v", "2"},
    {"key with its values", "A\\B", "", true, "A\\B", "v", kDefault},
    {"missing key", "C", "", false, "A\\B", "v", "1"},
};

TEST_F(Registry, DeletesValuesAndKeys) {
    for (const DeleteThenRead& row : kDeleteThenRead) {
        SCOPED_TRACE(row.what);
        QDir(folder).removeRecursively();
        ASSERT_TRUE(save("A\\B", "v", "1") && save("A", "v", "2") && save("A", "*", "3"));
        EXPECT_EQ(reg.REGDeleteSetting(HKEY_LOCAL_MACHINE, row.section, row.name), row.deleted);
        EXPECT_EQ(read(row.readSection, row.readName), row.expected);
    }
}

TEST_F(Registry, EachRootKeyHasItsOwnHiveInTheFolder) {
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_CURRENT_USER, "S", "v", "user"));
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath("HKEY_CURRENT_USER.json")));
    EXPECT_EQ(read("S", "v"), kDefault);
    EXPECT_FALSE(reg.REGSaveSetting(0x12345678, "S", "v", "x"));
}

TEST_F(Registry, HiveThatMayNotBeWrittenStillReads) {
    ASSERT_TRUE(save("S", "v", "kept"));
    const QByteArray before = ReadAll(hive);
    QFile::setPermissions(hive, QFile::ReadOwner);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    const bool permissionsHold = !QFile(QDir(folder).filePath("probe")).open(QIODevice::WriteOnly);
    if (permissionsHold) {
        EXPECT_EQ(read("S", "v"), "kept");
        EXPECT_FALSE(save("S", "v", "changed"));
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
        WriteAll(hive, content);
        CRegister fresh(folder);
        EXPECT_EQ(fresh.REGGetSetting(HKEY_LOCAL_MACHINE, "S", "v", kDefault), kDefault);
        EXPECT_EQ(fresh.unreadableHives(), QStringList{hive});
        EXPECT_EQ(ReadAll(hive), content);
        ASSERT_TRUE(fresh.REGSaveSetting(HKEY_LOCAL_MACHINE, "S", "w", "2"));
        CRegister after(folder);
        EXPECT_EQ(after.REGGetSetting(HKEY_LOCAL_MACHINE, "S", "w", kDefault), "2");
        EXPECT_TRUE(after.unreadableHives().isEmpty());
    }
}

} // namespace
