// Where the conversion error log goes.

#include "rip/encode/errorlog.h"
#include "support/testenv.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A program folder whose parent is missing cannot take its log beside it, even for root.
TEST(ErrorLog, GoesBesideTheProgramFolderElseIntoTheUserStateFolder) {
    const struct {
        const char* programFolder;
        std::optional<std::string> stateHome;
        const char* log; // all relative to a fresh temporary folder
    } cases[] = {
        {"bin", "state", "bin Errors.log"},
        {"missing/bin", "state", "state/mivo/mivo Errors.log"},
        {"missing/bin", std::nullopt, "home/.local/state/mivo/mivo Errors.log"},
    };
    for (const auto& c : cases) {
        const QTemporaryDir dir;
        const std::string root = dir.path().toStdString() + '/';
        const ScopedEnv home("HOME", root + "home");
        const ScopedEnv state("XDG_STATE_HOME",
                              c.stateHome ? std::optional(root + *c.stateHome) : std::nullopt);
        const QString programFolder = QString::fromStdString(root + c.programFolder);
        ASSERT_TRUE(AppendErrorLog(programFolder, "1\r\n") &&
                    AppendErrorLog(programFolder, "2\r\n"));
        QFile log(QString::fromStdString(root + c.log));
        ASSERT_TRUE(log.open(QIODevice::ReadOnly)) << c.log;
        EXPECT_EQ(log.readAll(), "1\r\n2\r\n") << c.log;
    }
}
