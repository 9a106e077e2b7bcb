// The skin movie: every command has a button assistive technology can press.
#include "common/flash.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <set>

namespace {
void CollectButtons(QQuickItem* parent, std::vector<QQuickItem*>& buttons) {
    for (QQuickItem* child : parent->childItems()) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(child);
        if (face && face->role() == QAccessible::Button)
            buttons.push_back(child);
        CollectButtons(child, buttons);
    }
}
} // namespace

TEST(SkinMovie, EveryCommandHasAnAccessibleButton) {
    Flash movie;
    movie.resize(700, 603);
    ASSERT_TRUE(movie.LoadMovie(0, QCoreApplication::applicationDirPath() + "/Main.qml"))
        << movie.loadError().toStdString();
    movie.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&movie));
    QSignalSpy commands(&movie, &Flash::FSCommand);
    std::vector<QQuickItem*> buttons;
    CollectButtons(movie.rootObject(), buttons);
    for (QQuickItem* button : buttons) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
        EXPECT_FALSE(face->text(QAccessible::Name).isEmpty());
        ASSERT_NE(face->actionInterface(), nullptr);
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    }

    std::set<QString> sent;
    for (const QList<QVariant>& command : commands)
        sent.insert(command[0].toString());
    const std::set<QString> all = {
        "IDC_FS_Drag",        "IDC_FS_Close",    "IDC_FS_Minimize",      "IDC_FS_Help",
        "IDC_FS_ShowExtract", "IDC_FS_Hide",     "IDC_FS_Extract",       "IDC_FS_ShowSettings",
        "IDC_FS_General",     "IDC_FS_CD Drive", "IDC_FS_output format", "IDC_FS_lock",
        "IDC_FS_Unlock",      "IDC_FS_unlock",   "IDC_FS_ExtractBtn",    "IDC_FS_Begin",
        "IDC_FS_End",         "IDC_FS_Play",     "IDC_FS_Stop",          "IDC_FS_Pause",
        "IDC_FS_Next",        "IDC_FS_Previous", "IDC_FS_OpenFiles",     "IDC_FS_Settings",
        "IDC_FS_Apply"};
    EXPECT_EQ(sent, all);
}
