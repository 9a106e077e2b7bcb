#include "shell/frmmain.h"

#include "common/modbass.h"
#include "rip/frmripp.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QTreeWidget>

#include <cmath>

// Every 50 ms: the door boxes, a rescan of an empty list once the door is closed, and the
// position of the current stream: on the position slider and label, or during a rip on the
// rip dialog's bar.

namespace {
constexpr QWORD kUnknown = static_cast<QWORD>(-1);

// Whole number nearest to value, a half going to the even neighbour.
long RoundEven(double value) {
    return std::lrint(value);
}

// Part of the stream done, 0 to 1; 0 while its length is 0 or cannot be read.
float DoneFraction(QWORD length, QWORD position) {
    const auto length32 = static_cast<DWORD>(length);
    const auto position32 = static_cast<DWORD>(position);
    if (length == kUnknown || position == kUnknown || length32 == 0)
        return 0.0f;
    return std::min(1.0f, static_cast<float>(position32) / static_cast<float>(length32));
}
} // namespace

void frmMain::tmrPlaybackPosition_Timer() {
    // A box opened inside a tick (a rescan's report) runs its own event loop; the ticks that
    // come meanwhile are skipped rather than nested.
    if (m_positionTickRunning)
        return;
    m_positionTickRunning = true;
    struct TickEnd {
        bool& running;
        ~TickEnd() { running = false; }
    } tickEnd{m_positionTickRunning};

    chkRWFlags[14]->setChecked(cd().BASS_CD_DoorIsOpen(lDrive) != 0);
    chkRWFlags[13]->setChecked(cd().BASS_CD_DoorIsLocked(lDrive) != 0);
    if (lsTracks->topLevelItemCount() == 0 && !chkRWFlags[14]->isChecked())
        LoadTrackList();

    if (core().BASS_ChannelIsActive(lStream) == BASS_ACTIVE_STOPPED) {
        SliderPosition->setValue(0);
        lblTrackPosition->setText(QString());
        return;
    }
    if (bSeeking)
        return;

    const QWORD length = core().BASS_StreamGetLength(lStream);
    const QWORD position = core().BASS_ChannelGetPosition(lStream);
    const float r = DoneFraction(length, position);
    if (bRipping) {
        if (ripDialog != nullptr)
            ripDialog->prgRipper->setValue(static_cast<int>(RoundEven(r * 100.0f)));
    } else {
        SliderPosition->setValue(static_cast<int>(RoundEven(r * SliderPosition->maximum())));
    }
    if (!bRipping && !bStopRipping) {
        const auto seconds = [this](QWORD bytes) {
            return Seconds2HMS(static_cast<int>(
                RoundEven(Bytes2Seconds(core(), lStream, static_cast<DWORD>(bytes)))));
        };
        lblTrackPosition->setText(seconds(position) + QStringLiteral(" / ") + seconds(length));
    }
}
