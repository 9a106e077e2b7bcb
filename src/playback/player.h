#pragma once

// The track player and its transport: the stream that plays, the buttons that drive it
// and the door, the volume, balance and position sliders, and the timer that shows the
// position and the door state.

#include "common/audiolibrary.h"
#include "playback/nowplaying.h"

#include <QAtomicInt>
#include <QObject>

#include <array>

class Dialogs;
class Door;
class Flash;
class DriveInfo;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QWidget;
class TrackList;

class Player : public QObject {
    Q_OBJECT
public:
    struct Services {
        BassCore& core;
        BassCd& cd;
        Dialogs& dialogs;
        QWidget& window; // owns the boxes and gives the output its window
        Flash& movie;    // its display band shows what plays
    };
    struct Panels {
        QGroupBox* tracks;  // the sliders go below the track list
        QGroupBox* cdDrive; // the transport and door buttons
    };
    Player(const Services& services, DriveInfo& drives, Door& door, TrackList& tracks,
           const Panels& panels, QObject* parent = nullptr);

    void PlayTrack(int t);
    void PlayNextTrack(int lCurrentTrackNumber);
    void CDError();
    void cmdButton_Click(int index);
    void SliderVolume_Change();
    void SliderVolume_Scroll();
    void SliderBalance_Scroll();
    void SliderPosition_MouseDown();
    void SliderPosition_MouseUp();
    void SliderPosition_Click();
    void FadeOut();
    void tmrPlaybackPosition_Timer();

    // What the skin's transport asks for.
    void play();               // resumes a paused track, else plays the selected row
    void playRow(int row);     // plays a row and selects it
    void next();               // the row after the selected one, wrapping
    void previous();           // the row before the selected one, wrapping
    void stop();               // also ends a fade-out
    void pause();              // also ends a fade-out
    void showOutputVolume();   // the volume slider follows the library's output volume
    void startPositionTimer(); // from the end of start-up
    void stopPositionTimer();  // at shutdown
    DWORD currentStream() const { return lStream; } // the stream the position display follows

signals:
    // Sync notifications from the library's thread, delivered on the window's thread.
    void playbackEnded(quint32 channel, int track);
    void fadeEnded(quint32 channel);
    void playbackFailed(quint32 channel);

private:
    // The position slider, its label and the face's display band for the current stream.
    void ShowPosition();
    static void NextTrackSyncProc(HSYNC handle, DWORD channel, DWORD data, void* user);
    static void SlideSyncProc(HSYNC handle, DWORD channel, DWORD data, void* user);
    static void CDErrorSyncProc(HSYNC handle, DWORD channel, DWORD data, void* user);
    void PlaybackEnded_Delivered(quint32 channel, int track);
    void FadeEnded_Delivered(quint32 channel);
    void PlaybackFailed_Delivered(quint32 channel);
    void EndFadeOut();
    void PlaySelectedRow();
    void BuildSliders(QGroupBox* panel);
    void BuildButtons(QGroupBox* panel);
    void ConnectSliders();
    void EnableDoorButtons(bool canOpen, bool canLock);

    Services m_services;
    DriveInfo& m_drives;
    Door& m_door;
    TrackList& m_tracks;

    DWORD lStream = 0;
    bool bSeeking = false;
    bool m_fading = false;         // a fade-out runs; its end starts the next track
    bool m_tickRunning = false;    // no tick runs inside a tick
    QAtomicInt m_playingTrack{-1}; // the track PlayTrack started last; read by the syncs

    std::array<QPushButton*, 9> cmdButton{}; // index 7 does not exist
    QSlider* SliderVolume = nullptr;
    QSlider* SliderBalance = nullptr;
    QSlider* SliderPosition = nullptr;
    QLabel* lblVolume = nullptr;
    QLabel* lblBalance = nullptr;
    QLabel* lblTrackPosition = nullptr;
    QTimer* tmrPlaybackPosition = nullptr;
    NowPlaying m_nowPlaying;
};
