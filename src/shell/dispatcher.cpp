#include "shell/frmmain.h"

#include "cd/disccover.h"
#include "cd/door.h"
#include "cd/driveinfo.h"
#include "cd/tracklist.h"
#include "common/desktopshell.h"
#include "common/dialogs.h"
#include "common/flash.h"
#include "playback/player.h"
#include "rip/frmripp.h"
#include "settings/outputoptions.h"

#include <QGroupBox>

#include <functional>
#include <map>

namespace {
// The first control inside panel that Tab would reach, or none.
QWidget* FirstTabStop(QWidget* panel) {
    for (QWidget* next = panel->nextInFocusChain(); next != panel; next = next->nextInFocusChain())
        if (panel->isAncestorOf(next) && (next->focusPolicy() & Qt::TabFocus) &&
            next->isVisibleTo(panel) && next->isEnabled())
            return next;
    return nullptr;
}
} // namespace

// The skin's commands, compared exactly (case matters); anything else is ignored.
void frmMain::Flash_FSCommand(const QString& command, const QString& /*args*/) {
    const std::map<QString, std::function<void()>> commands = {
        {"IDC_FS_Drag", [this] { DragWindow(); }},
        {"IDC_FS_Close", [this] { close(); }},
        {"IDC_FS_Minimize", [this] { showMinimized(); }},
        {"IDC_FS_Help", [this] { m_desktop.openDocument(m_dataFolder + "/Help.html"); }},
        // Only "Reload settings" drops the user's unsaved choices; showing the list where the
        // tracks are ticked and ripped never does.
        {"IDC_FS_ShowExtract", [this] { ShowPanel(m_frMain); }},
        {"IDC_FS_Hide", [this] { HidePanels(); }},
        {"IDC_FS_Extract", [this] { HidePanels(); }},
        {"IDC_FS_ShowSettings", [this] { ShowPanel(m_frGeneralOptions); }},
        {"IDC_FS_General", [this] { ShowPanel(m_frGeneralOptions); }},
        {"IDC_FS_CD Drive", [this] { ShowPanel(m_frCDInfo); }},
        {"IDC_FS_output format", [this] { ShowPanel(m_frFileFormat); }},
        {"IDC_FS_lock", [this] { m_door->toggleLock(); }},
        {"IDC_FS_Unlock", [this] { m_door->toggleLock(); }},
        {"IDC_FS_unlock", [this] { m_door->toggleLock(); }},
        {"IDC_FS_ExtractBtn", [this] { ExtractCommand(); }},
        {"IDC_FS_Begin", [this] { m_player->playRow(1); }},
        {"IDC_FS_End", [this] { m_player->playRow(m_tracks->rowCount()); }},
        {"IDC_FS_Play", [this] { m_player->play(); }},
        {"IDC_FS_Stop", [this] { m_player->stop(); }},
        {"IDC_FS_Pause", [this] { m_player->pause(); }},
        {"IDC_FS_Next", [this] { m_player->next(); }},
        {"IDC_FS_Previous", [this] { m_player->previous(); }},
        {"IDC_FS_OpenFiles", [this] { m_door->toggleOpen(); }},
        {"IDC_FS_Settings", [this] { m_options->LoadSettings(); }},
        {"IDC_FS_Apply", [this] { ApplySettingsCommand(); }},
    };
    const auto found = commands.find(command);
    if (found != commands.end())
        found->second();
}

// The panel in front covers the others whole; they are hidden so that Tab and screen
// readers stay on the one that is seen, which takes the keyboard focus.
void frmMain::ShowPanel(QWidget* panel) {
    HidePanels();
    panel->show();
    panel->raise();
    if (QWidget* first = FirstTabStop(panel))
        first->setFocus(Qt::TabFocusReason);
}

void frmMain::HidePanels() {
    for (QGroupBox* panel : {m_frMain, m_frCDInfo, m_frFileFormat, m_frGeneralOptions})
        panel->hide();
}

void frmMain::ExtractCommand() {
    m_player->stop();
    std::vector<int> ticked = m_tracks->tickedTracks();
    if (ticked.empty()) {
        m_dialogs.showMessage(
            this, QStringLiteral("No Tracks Selected. Please, Select tracks first"),
            QStringLiteral("No Tracks Selected"), MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    // The drive belongs to the rip: a search for the read offset ends before the rip reads, the
    // offset stays as it is, and an online lookup's answer (with the release chooser) waits.
    m_drives->setRipping(true);
    m_tracks->holdLookups(true);
    DiscTags disc = m_tracks->discTags();
    m_cover->addTo(disc);
    {
        // The rows ticked are those of the disc listed: the rip reads it from its drive, and
        // only while it is still there.
        const TrackList::ScannedDisc listed = m_tracks->scannedDisc();
        RipRequest request;
        request.drive = listed.drive;
        request.tracks = std::move(ticked);
        request.output = m_options->choice();
        request.tags = std::move(disc);
        request.discChanges = listed.changes;
        // Owned by the main window: it opens over the player and stays in front of it.
        frmRipp dialog({m_bass, m_dialogs, *m_door, *this, m_appFolder}, std::move(request),
                       m_ripStartDelay, this);
        m_ripDialog = &dialog;
        dialog.exec();
        m_ripDialog = nullptr;
    }
    m_drives->setRipping(false);
    if (m_quitAfterRip) {
        close(); // an answer still waiting asks nothing of a person who is leaving
        return;
    }
    m_tracks->holdLookups(false);
}

void frmMain::requestQuit() {
    if (m_ripDialog == nullptr) {
        close();
        return;
    }
    m_quitAfterRip = true;
    m_ripDialog->StopForShutdown();
}

void frmMain::ApplySettingsCommand() {
    if (!m_options->SaveSettings())
        return; // SaveSettings has told the user why nothing was saved
    m_dialogs.showMessage(this, QStringLiteral("Settings have been saved."), QStringLiteral("Done"),
                          MessageIcon::Information, MessageButtons::Ok);
    update();
}
