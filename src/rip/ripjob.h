#pragma once

// One rip: every requested track of the drive extracted in the chosen format into the output
// folder. The job owns its decode stream and its stop request; it tells its listener which
// track it is on and how far it got, and it says what went wrong through the dialogs.

#include "common/audiolibrary.h"
#include "rip/ripcontext.h"
#include "settings/outputchoice.h"

#include <QSet>
#include <QString>

#include <functional>
#include <vector>

class Dialogs;
class StagedFile;
struct RipOutput;
class DriveDoor;
class QWidget;

struct RipRequest {
    DWORD drive = 0;
    std::vector<int> tracks; // 0-based library tracks, in list order
    OutputChoice output;
};

class RipJob {
public:
    struct Services {
        AudioLibrary bass;
        Dialogs& dialogs;
        DriveDoor& door;   // locked while a track is extracted
        QWidget& window;   // the main window, disabled while a track is extracted
        QString appFolder; // where the conversion error log is kept
    };
    struct Listener {
        std::function<void(int number)> trackStarted; // the track's number on the disc
        std::function<void(float done)> progress;     // 0 to 1 of the current track
    };
    // boxOwner: the window the job's boxes belong to (the rip dialog).
    RipJob(const Services& services, RipRequest request, QWidget* boxOwner, Listener listener);

    // Rips every track until done or stopped; the count of tracks ripped completely.
    int RipTracks();
    // Ends the running extraction after its current block; no further track starts.
    void StopRipping() { bStopRipping = true; }
    const QString& folder() const { return m_request.output.folder; }

private:
    bool RipTrack(int lTrack);
    bool WriteTrack(const RipOutput& output, int lTrack, const StagedFile& file);
    bool PrepareOutputFolder();
    // True the first time a notice (key) comes up in this job: a notice that would hold for
    // every track is shown once.
    bool FirstNoticeInJob(const QString& key);
    void ReportProgress(DWORD stream);
    RipContext Context();

    Services m_services;
    RipRequest m_request;
    QWidget* m_boxOwner;
    Listener m_listener;
    bool bStopRipping = false;
    QSet<QString> m_notices;
};
