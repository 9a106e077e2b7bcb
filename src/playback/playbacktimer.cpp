#include "playback/player.h"

#include "cd/door.h"
#include "cd/driveinfo.h"
#include "cd/seconds2hms.h"
#include "cd/tracklist.h"
#include "common/modbass.h"

#include <QLabel>
#include <QScopedValueRollback>
#include <QSlider>

#include <cmath>

// Every 50 ms: the door boxes, the drives that came or went, a rescan of an empty list once the
// door is closed or of any list whose disc changed, and the position of the playing stream on
// the position slider and label.

namespace {
// Whole number nearest to value, a half going to the even neighbour.
long RoundEven(double value) {
    return std::lrint(value);
}
} // namespace

void Player::tmrPlaybackPosition_Timer() {
    // A box opened inside a tick (a rescan's report) runs its own event loop; the ticks that
    // come meanwhile are skipped rather than nested.
    if (m_tickRunning)
        return;
    const QScopedValueRollback<bool> running(m_tickRunning, true);

    const bool doorOpen = m_door.poll();
    m_drives.followDriveList();
    if ((m_tracks.rowCount() == 0 && !doorOpen) || m_tracks.discChanged())
        m_tracks.LoadTrackList();
    ShowPosition();
}

void Player::ShowPosition() {
    const DWORD active = m_services.core.BASS_ChannelIsActive(lStream);
    if (active == BASS_ACTIVE_STOPPED) {
        SliderPosition->setValue(0);
        lblTrackPosition->setText(QString());
        m_nowPlaying.showStopped();
        return;
    }
    if (bSeeking)
        return;

    const QWORD length = m_services.core.BASS_StreamGetLength(lStream);
    const QWORD position = m_services.core.BASS_ChannelGetPosition(lStream);
    const float r = DoneFraction(length, position);
    SliderPosition->setValue(static_cast<int>(RoundEven(r * SliderPosition->maximum())));
    const auto seconds = [this](QWORD bytes) {
        return Seconds2HMS(static_cast<int>(
            RoundEven(Bytes2Seconds(m_services.core, lStream, static_cast<DWORD>(bytes)))));
    };
    lblTrackPosition->setText(seconds(position) + QStringLiteral(" / ") + seconds(length));
    m_nowPlaying.showPlaying(active == BASS_ACTIVE_PAUSED, m_playingTrack.loadRelaxed() + 1,
                             seconds(position), seconds(length));
}
