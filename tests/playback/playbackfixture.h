#pragma once

// The main window on the scripted library with a disc of audio tracks, ready
// for the transport: the position timer is held so the call log only shows
// what a test does.

#include "common/flash.h"
#include "support/mainwindowharness.h"

#include <QCoreApplication>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <string>
#include <vector>

inline constexpr int kSecond = 176400;
inline constexpr DWORD kSyncEnd = BASS_SYNC_ONETIME | BASS_SYNC_END;
inline constexpr DWORD kSyncCdError = BASS_SYNC_ONETIME | BASS_SYNC_CD_ERROR;
inline constexpr DWORD kSyncSlide = BASS_SYNC_ONETIME | BASS_SYNC_SLIDE;

class PlaybackTest : public ::testing::Test {
protected:
    // A disc of tracks with the given lengths (a length below 1 cannot be read).
    frmMain& loadDisc(const std::vector<int>& lengths) {
        h.audio.addDrive("Drive one", 3);
        h.audio.insertDisc(0, lengths);
        frmMain& form = h.load();
        form.tmrPlaybackPosition->stop();
        h.audio.clearCalls();
        return form;
    }
    frmMain& loadTracks(int count) { return loadDisc(std::vector<int>(count, 30 * kSecond)); }

    frmMain& form() { return *h.form; }
    QTreeWidget& list() { return *h.form->lsTracks; }
    QTreeWidgetItem* row(int position) { return list().topLevelItem(position - 1); }
    void selectRow(int position) { list().setCurrentItem(row(position)); }
    int selectedRow() const {
        QTreeWidgetItem* current = h.form->lsTracks->currentItem();
        return current && current->isSelected() ? h.form->lsTracks->indexOfTopLevelItem(current) + 1
                                                : 0;
    }
    void command(const char* text) { emit h.form->movie->FSCommand(QString::fromLatin1(text), {}); }

    // Fires a sync the way the library does and lets the window's thread take it.
    void fire(DWORD stream, DWORD type) {
        h.audio.fireSync(stream, type);
        QCoreApplication::processEvents();
    }

    // The tracks of the streams created since the log was last cleared.
    std::vector<std::string> created() const {
        return h.audio.callsStartingWith("BASS_CD_StreamCreate");
    }
    static std::string createCall(int track) {
        return "BASS_CD_StreamCreate(0," + std::to_string(track) + ",327680)";
    }

    MainWindowHarness h;
};
