#include "shell/frmmain.h"

#include "common/dialogs.h"
#include "common/modbass.h"

#include <QSlider>
#include <QTreeWidget>

#include <cstdlib>

// Stops whatever plays and starts track t from its beginning, at the volume and
// balance the sliders show. Nothing is checked: a track that cannot be streamed
// (a data track, no disc) stays silent.
void frmMain::PlayTrack(int t) {
    core().BASS_ChannelStop(lStream);
    lStream = cd().BASS_CD_StreamCreate(static_cast<DWORD>(lDrive), static_cast<DWORD>(t),
                                        kPlaybackStreamFlags);
    m_playingTrack.storeRelaxed(t);
    core().BASS_ChannelSetAttributes(lStream, -1, std::abs(SliderVolume->value()),
                                     SliderBalance->value());
    core().BASS_StreamPlay(lStream, 1, 0);
    SetSync(core(), lStream, BASS_SYNC_ONETIME | BASS_SYNC_END, 0, &frmMain::NextTrackSyncProc,
            this);
    SetSync(core(), lStream, BASS_SYNC_ONETIME | BASS_SYNC_CD_ERROR, 0, &frmMain::CDErrorSyncProc,
            this);
    SetSync(core(), lStream, BASS_SYNC_ONETIME | BASS_SYNC_SLIDE, 0, &frmMain::NextTrackSyncProc,
            this);
}

// Follows on from the selected row, wrapping to the first after the last; the
// track that just ended does not matter. Without a selected row there is no
// place to continue from, so nothing starts.
void frmMain::PlayNextTrack(int /*lCurrentTrackNumber*/) {
    const int selected = SelectedRow();
    if (selected == 0)
        return;
    PlayRowAndSelect(selected == lsTracks->topLevelItemCount() ? 1 : selected + 1);
}

// A read error on the playing stream, typically because the door was opened.
void frmMain::CDError() {
    core().BASS_ChannelStop(lStream);
    core().BASS_StreamFree(lStream);
    dialogs().showMessage(this,
                          QStringLiteral("There was an error playing back an Audio CD stream. "
                                         "Most probable cause is the CD drive was opened."),
                          QStringLiteral("Error"), MessageIcon::Critical, MessageButtons::Ok);
    SliderPosition->setValue(0);
}

// Library thread: emitting queues the notification to the window's thread.
void frmMain::NextTrackSyncProc(HSYNC /*handle*/, DWORD channel, DWORD /*data*/, void* user) {
    auto* form = static_cast<frmMain*>(user);
    emit form->playbackEnded(channel, form->m_playingTrack.loadRelaxed());
}

// Library thread, as above.
void frmMain::CDErrorSyncProc(HSYNC /*handle*/, DWORD channel, DWORD /*data*/, void* user) {
    emit static_cast<frmMain*>(user)->playbackFailed(channel);
}

void frmMain::ConnectPlaybackSignals() {
    connect(this, &frmMain::playbackEnded, this, &frmMain::PlaybackEnded_Delivered,
            Qt::QueuedConnection);
    connect(this, &frmMain::playbackFailed, this, &frmMain::PlaybackFailed_Delivered,
            Qt::QueuedConnection);
}

// A notification about a stream that is no longer the current one (the user
// started another track meanwhile) is out of date and dropped.
void frmMain::PlaybackEnded_Delivered(quint32 channel, int track) {
    if (channel != lStream)
        return;
    PlayNextTrack(track);
}

void frmMain::PlaybackFailed_Delivered(quint32 channel) {
    if (channel != lStream)
        return;
    CDError();
}
