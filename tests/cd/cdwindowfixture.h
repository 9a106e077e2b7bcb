#pragma once

// The main window on the scripted library, with every skin variable it sets
// recorded from the first scan on. The position timer is held: a test ticks it
// itself when it wants the automatic rescan.

#include "common/flash.h"
#include "support/mainwindowharness.h"

#include <QGroupBox>
#include <QLocale>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <ostream>
#include <utility>
#include <vector>

inline constexpr int kSecond = 176400; // bytes of CD audio per second

using VariableLog = std::vector<std::pair<QString, QString>>;

class CdWindowTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void TearDown() override { QLocale::setDefault(m_savedLocale); }

    // Builds the window and runs its start-up (which scans the first drive).
    frmMain& load() {
        h.create();
        QObject::connect(h.form->movie, &Flash::variableSet,
                         [this](const QString& name, const QString& value) {
                             variables.emplace_back(name, value);
                         });
        h.form->Form_Initialize();
        h.loaded = h.form->Form_Load();
        h.form->tmrPlaybackPosition->stop();
        return *h.form;
    }
    frmMain& form() { return *h.form; }

    // A fresh scan of the current drive with a fresh variable log.
    void rescan() {
        variables.clear();
        form().LoadTrackList();
    }

    QStringList column(int c) const {
        QStringList texts;
        for (int i = 0; i < h.form->lsTracks->topLevelItemCount(); ++i)
            texts << h.form->lsTracks->topLevelItem(i)->text(c);
        return texts;
    }
    std::vector<int> rowTracks() const {
        std::vector<int> tracks;
        for (int i = 0; i < h.form->lsTracks->topLevelItemCount(); ++i)
            tracks.push_back(frmMain::TrackOfRow(h.form->lsTracks->topLevelItem(i)));
        return tracks;
    }

    // The variables every scan ends with: seven transport flags, then the status.
    static VariableLog scanVariables(const char* flag) {
        VariableLog log;
        for (const char* name : {"Play", "Previous", "Next", "Begin", "End", "Stop", "Pause"})
            log.emplace_back(QStringLiteral("_root.%1Enabled").arg(QLatin1String(name)),
                             QString::fromLatin1(flag));
        log.emplace_back(QStringLiteral("_root.ChangeStatus"), QStringLiteral("1"));
        return log;
    }

    MainWindowHarness h;
    VariableLog variables;

private:
    QLocale m_savedLocale;
};

// Lets gtest print texts and variable logs readably when a comparison fails.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const std::pair<QString, QString>& variable, std::ostream* out) {
    *out << variable.first.toStdString() << '=' << variable.second.toStdString();
}
