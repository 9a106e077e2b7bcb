#include "shell/frmmain.h"

#include "cd/tracklist.h"
#include "common/dialogs.h"
#include "common/flash.h"
#include "platform/skin/skinengine.h"

#include <QGroupBox>

// Fixed geometry in pixels: the window has the same size on every display.
void frmMain::LayoutWindow() {
    QFrame* trackList = m_tracks->listControl();
    m_movie->move(0, 0);
    m_movie->raise();
    m_movie->resize(700, 603);
    setFixedSize(700, 603);
    const bool faceShown = m_movie->LoadMovie(0, m_dataFolder + "/Main.qml");
    if (!faceShown)
        m_dialogs.showMessage(this,
                              "The skin movie could not be loaded; the program goes on without "
                              "it.\r\n" +
                                  m_movie->loadError(),
                              windowTitle(), MessageIcon::Exclamation, MessageButtons::Ok);
    m_frMain->move(180, 235);
    for (QGroupBox* panel : {m_frCDInfo, m_frFileFormat, m_frGeneralOptions})
        panel->move(180, 180);

    const bool skinned = m_skin->loadSkin(m_dataFolder + "/Skin.qss") &&
                         m_skin->attachPanel(m_frMain, 2) && m_skin->attachPanel(m_frCDInfo, 1) &&
                         m_skin->attachPanel(m_frGeneralOptions, 1) &&
                         m_skin->attachPanel(m_frFileFormat, 1) &&
                         m_skin->attachList(trackList, 0) && m_skin->applySkin();
    if (!skinned)
        m_dialogs.showMessage(this,
                              "The skin could not be applied; the panels keep the desktop's "
                              "look.\r\n" +
                                  m_skin->lastError(),
                              windowTitle(), MessageIcon::Exclamation, MessageButtons::Ok);
    trackList->setFrameShape(QFrame::StyledPanel); // the list's three-dimensional border
    FitPanelsToFace();
    // Panels behind the face are hidden, not just covered, so that Tab and screen readers
    // skip them; without a face the panels are all the window has.
    if (faceShown)
        HidePanels();
}

// The panels share one width and reach down to the bottom edge of the face, so
// the panel in front hides the others whole; the track list gives up height first.
void frmMain::FitPanelsToFace() {
    constexpr int kPanelWidth = 370; // from x 180 to the right-hand column of the face
    constexpr int kBottomMargin = 8;
    m_tracks->listControl()->setMinimumHeight(60);
    for (QGroupBox* panel : {m_frMain, m_frCDInfo, m_frFileFormat, m_frGeneralOptions}) {
        const int room = height() - kBottomMargin - panel->y();
        panel->resize(kPanelWidth, room);
    }
}
