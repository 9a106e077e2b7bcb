#include "shell/frmmain.h"

#include "common/desktopshell.h"
#include "common/dialogs.h"
#include "common/flash.h"
#include "rip/frmripp.h"

#include <QGroupBox>
#include <QTreeWidget>

#include <functional>
#include <map>

// The skin's commands, compared exactly (case matters); anything else is ignored.
void frmMain::Flash_FSCommand(const QString& command, const QString& /*args*/) {
    const std::map<QString, std::function<void()>> commands = {
        {"IDC_FS_Drag", [this] { DragWindow(); }},
        {"IDC_FS_Close", [this] { close(); }},
        {"IDC_FS_Minimize", [this] { showMinimized(); }},
        {"IDC_FS_Help", [this] { m_desktop.openDocument(m_appFolder + "/Help.html"); }},
        {"IDC_FS_ShowExtract",
         [this] {
             ShowPanel(frMain);
             LoadSettings();
         }},
        {"IDC_FS_Hide", [this] { HidePanels(); }},
        {"IDC_FS_Extract", [this] { HidePanels(); }},
        {"IDC_FS_ShowSettings", [this] { ShowPanel(frGeneralOptions); }},
        {"IDC_FS_General", [this] { ShowPanel(frGeneralOptions); }},
        {"IDC_FS_CD Drive", [this] { ShowPanel(frCDInfo); }},
        {"IDC_FS_output format", [this] { ShowPanel(frFileFormat); }},
        {"IDC_FS_lock", [this] { ToggleDoorLock(); }},
        {"IDC_FS_Unlock", [this] { ToggleDoorLock(); }},
        {"IDC_FS_unlock", [this] { ToggleDoorLock(); }},
        {"IDC_FS_ExtractBtn", [this] { ExtractCommand(); }},
        {"IDC_FS_Begin", [this] { PlayRowAndSelect(1); }},
        {"IDC_FS_End", [this] { PlayRowAndSelect(lsTracks->topLevelItemCount()); }},
        {"IDC_FS_Play", [this] { PlayCommand(); }},
        {"IDC_FS_Stop", [this] { m_bass.core.BASS_ChannelStop(lStream); }},
        {"IDC_FS_Pause", [this] { m_bass.core.BASS_ChannelPause(lStream); }},
        {"IDC_FS_Next", [this] { NextCommand(); }},
        {"IDC_FS_Previous", [this] { PreviousCommand(); }},
        {"IDC_FS_OpenFiles", [this] { OpenOrCloseDoor(); }},
        {"IDC_FS_Settings", [this] { LoadSettings(); }},
        {"IDC_FS_Apply", [this] { ApplySettingsCommand(); }},
    };
    const auto found = commands.find(command);
    if (found != commands.end())
        found->second();
}

void frmMain::ShowPanel(QWidget* panel) {
    panel->show();
    panel->raise();
}

void frmMain::HidePanels() {
    for (QGroupBox* panel : {frMain, frCDInfo, frFileFormat, frGeneralOptions})
        panel->hide();
}

// The skin's lock indicator is told first, then the door follows.
void frmMain::ToggleDoorLock() {
    const bool locked = m_bass.cd.BASS_CD_DoorIsLocked(lDrive);
    movie->SetVariable(QStringLiteral("_root.lock"), locked ? "0" : "1");
    movie->SetVariable(QStringLiteral("_root.lockFlag"), QStringLiteral("1"));
    m_bass.cd.BASS_CD_Door(lDrive, locked ? BASS_CD_DOOR_UNLOCK : BASS_CD_DOOR_LOCK);
}

void frmMain::OpenOrCloseDoor() {
    if (m_bass.cd.BASS_CD_DoorIsLocked(lDrive))
        return;
    m_bass.core.BASS_ChannelStop(lStream);
    const bool open = m_bass.cd.BASS_CD_DoorIsOpen(lDrive);
    m_bass.cd.BASS_CD_Door(lDrive, open ? BASS_CD_DOOR_CLOSE : BASS_CD_DOOR_OPEN);
    ShowDriveInfo();
    LoadTrackList();
}

int frmMain::SelectedRow() const {
    QTreeWidgetItem* current = lsTracks->currentItem();
    if (current == nullptr || !current->isSelected())
        return 0;
    return lsTracks->indexOfTopLevelItem(current) + 1;
}

// Plays the track of the row at a 1-based position and makes that row the selected one.
void frmMain::PlayRowAndSelect(int row) {
    QTreeWidgetItem* item = lsTracks->topLevelItem(row - 1);
    if (item == nullptr)
        return; // an empty list has nothing to play
    PlayTrack(TrackOfRow(item));
    lsTracks->setCurrentItem(item);
}

void frmMain::PlayCommand() {
    m_bass.core.BASS_Init(1, 44100, 0, reinterpret_cast<void*>(winId()), nullptr);
    if (m_bass.core.BASS_ChannelIsActive(lStream) == BASS_ACTIVE_PAUSED) {
        m_bass.core.BASS_ChannelResume(lStream);
        return;
    }
    const int selected = SelectedRow();
    if (selected > 0)
        PlayTrack(TrackOfRow(lsTracks->topLevelItem(selected - 1)));
}

void frmMain::NextCommand() {
    const int selected = SelectedRow();
    if (selected == 0)
        return;
    PlayRowAndSelect(selected == lsTracks->topLevelItemCount() ? 1 : selected + 1);
}

void frmMain::PreviousCommand() {
    const int selected = SelectedRow();
    if (selected == 0)
        return;
    PlayRowAndSelect(selected == 1 ? lsTracks->topLevelItemCount() : selected - 1);
}

void frmMain::ExtractCommand() {
    m_bass.core.BASS_ChannelStop(lStream);
    const int rows = lsTracks->topLevelItemCount();
    bool anyTicked = false;
    for (int row = 0; row < rows && !anyTicked; ++row)
        anyTicked = lsTracks->topLevelItem(row)->checkState(0) == Qt::Checked;
    if (!anyTicked) {
        m_dialogs.showMessage(
            this, QStringLiteral("No Tracks Selected. Please, Select tracks first"),
            QStringLiteral("No Tracks Selected"), MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    bStopRipping = false;
    frmRipp dialog(*this);
    dialog.exec();
}

void frmMain::ApplySettingsCommand() {
    if (!SaveSettings())
        return; // SaveSettings has told the user why nothing was saved
    m_dialogs.showMessage(this, QStringLiteral("Settings have been saved."), QStringLiteral("Done"),
                          MessageIcon::Information, MessageButtons::Ok);
    update();
}
