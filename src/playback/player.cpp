#include "playback/player.h"

#include "cd/door.h"
#include "cd/driveinfo.h"
#include "cd/tracklist.h"
#include "common/dialogs.h"
#include "common/modbass.h"

#include <QGroupBox>
#include <QSlider>
#include <QTimer>

#include <cstdlib>

Player::Player(const Services& services, DriveInfo& drives, Door& door, TrackList& tracks,
               const Panels& panels, QObject* parent)
    : QObject(parent), m_services(services), m_drives(drives), m_door(door), m_tracks(tracks),
      m_nowPlaying(services.movie) {
    BuildButtons(panels.cdDrive);
    BuildSliders(panels.tracks);
    connect(&m_door, &Door::shown, this, [this](bool, bool, bool canOpen, bool canLock) {
        EnableDoorButtons(canOpen, canLock);
    });
    connect(&m_tracks, &TrackList::rowActivated, this, &Player::PlaySelectedRow);
    connect(this, &Player::playbackEnded, this, &Player::PlaybackEnded_Delivered,
            Qt::QueuedConnection);
    connect(this, &Player::fadeEnded, this, &Player::FadeEnded_Delivered, Qt::QueuedConnection);
    connect(this, &Player::playbackFailed, this, &Player::PlaybackFailed_Delivered,
            Qt::QueuedConnection);

    tmrPlaybackPosition = new QTimer(this);
    tmrPlaybackPosition->setObjectName(QStringLiteral("tmrPlaybackPosition"));
    tmrPlaybackPosition->setInterval(50);
    connect(tmrPlaybackPosition, &QTimer::timeout, this, &Player::tmrPlaybackPosition_Timer);
}

// Stops whatever plays and starts track t from its beginning, at the volume and
// balance the sliders show. Nothing is checked: a track that cannot be streamed
// (a data track, no disc) stays silent.
void Player::PlayTrack(int t) {
    BassCore& core = m_services.core;
    stop();
    lStream = m_services.cd.BASS_CD_StreamCreate(m_drives.currentDrive(), static_cast<DWORD>(t),
                                                 kPlaybackStreamFlags);
    m_playingTrack.storeRelaxed(t);
    core.BASS_ChannelSetAttributes(lStream, -1, std::abs(SliderVolume->value()),
                                   SliderBalance->value());
    core.BASS_StreamPlay(lStream, 1, 0);
    SetSync(core, lStream, BASS_SYNC_ONETIME | BASS_SYNC_END, 0, &Player::NextTrackSyncProc, this);
    SetSync(core, lStream, BASS_SYNC_ONETIME | BASS_SYNC_CD_ERROR, 0, &Player::CDErrorSyncProc,
            this);
    SetSync(core, lStream, BASS_SYNC_ONETIME | BASS_SYNC_SLIDE, 0, &Player::SlideSyncProc, this);
    ShowPosition(); // at once, not at the next tick: the face answers the click
}

// Follows on from the selected row; the track that just ended does not matter.
void Player::PlayNextTrack(int /*lCurrentTrackNumber*/) {
    next();
}

// A read error on the playing stream, typically because the door was opened.
void Player::CDError() {
    stop();
    m_services.core.BASS_StreamFree(lStream);
    m_services.dialogs.showMessage(&m_services.window,
                                   QStringLiteral("There was an error playing back an Audio CD "
                                                  "stream. Most probable cause is the CD drive "
                                                  "was opened."),
                                   QStringLiteral("Error"), MessageIcon::Critical,
                                   MessageButtons::Ok);
    SliderPosition->setValue(0);
}

void Player::FadeOut() {
    m_fading = m_services.core.BASS_ChannelSlideAttributes(lStream, -1, 0, -101, 5000) != 0;
}

// A stop or a pause abandons the fade: the stream keeps the volume the slider shows, and
// the end of the slide, should it still come, starts nothing.
void Player::EndFadeOut() {
    if (!m_fading)
        return;
    m_fading = false;
    m_services.core.BASS_ChannelSetAttributes(lStream, -1, std::abs(SliderVolume->value()), -101);
}

void Player::play() {
    BassCore& core = m_services.core;
    core.BASS_Init(1, 44100, 0, reinterpret_cast<void*>(m_services.window.winId()), nullptr);
    if (core.BASS_ChannelIsActive(lStream) == BASS_ACTIVE_PAUSED) {
        core.BASS_ChannelResume(lStream);
        ShowPosition();
        return;
    }
    PlaySelectedRow();
}

void Player::playRow(int row) {
    const int track = m_tracks.trackOfRow(row);
    if (track == TrackList::kNoTrack)
        return; // an empty list has nothing to play
    PlayTrack(track);
    m_tracks.selectRow(row);
}

// Without a selected row there is no place to continue from, so nothing starts.
void Player::next() {
    const int selected = m_tracks.selectedRow();
    if (selected == 0)
        return;
    playRow(selected == m_tracks.rowCount() ? 1 : selected + 1);
}

void Player::previous() {
    const int selected = m_tracks.selectedRow();
    if (selected == 0)
        return;
    playRow(selected == 1 ? m_tracks.rowCount() : selected - 1);
}

void Player::stop() {
    EndFadeOut();
    m_services.core.BASS_ChannelStop(lStream);
}

void Player::pause() {
    EndFadeOut();
    m_services.core.BASS_ChannelPause(lStream);
}

// Without a selected row there is nothing to play and nothing happens.
void Player::PlaySelectedRow() {
    const int selected = m_tracks.selectedRow();
    if (selected > 0)
        PlayTrack(m_tracks.trackOfRow(selected));
}

// Library thread: emitting queues the notification to the window's thread.
void Player::NextTrackSyncProc(HSYNC /*handle*/, DWORD channel, DWORD /*data*/, void* user) {
    auto* player = static_cast<Player*>(user);
    emit player->playbackEnded(channel, player->m_playingTrack.loadRelaxed());
}

// Library thread, as above.
void Player::SlideSyncProc(HSYNC /*handle*/, DWORD channel, DWORD /*data*/, void* user) {
    emit static_cast<Player*>(user)->fadeEnded(channel);
}

// Library thread, as above.
void Player::CDErrorSyncProc(HSYNC /*handle*/, DWORD channel, DWORD /*data*/, void* user) {
    emit static_cast<Player*>(user)->playbackFailed(channel);
}

// A notification about a stream that is no longer the current one (the user
// started another track meanwhile) is out of date and dropped.
void Player::PlaybackEnded_Delivered(quint32 channel, int track) {
    if (channel == lStream)
        PlayNextTrack(track);
}

void Player::FadeEnded_Delivered(quint32 channel) {
    if (channel != lStream || !m_fading)
        return;
    m_fading = false;
    PlayNextTrack(m_playingTrack.loadRelaxed());
}

void Player::PlaybackFailed_Delivered(quint32 channel) {
    if (channel == lStream)
        CDError();
}

void Player::showOutputVolume() {
    SliderVolume->setValue(-m_services.core.BASS_GetVolume());
}

void Player::startPositionTimer() {
    tmrPlaybackPosition->start();
}

void Player::stopPositionTimer() {
    tmrPlaybackPosition->stop();
}
