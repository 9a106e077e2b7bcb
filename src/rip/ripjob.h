#pragma once

// One rip: every requested track of the drive extracted in the chosen format into the output
// folder. The job prepares the folder and holds the door and the window on the window's
// thread; its pipeline reads and encodes on threads of its own. The job tells its listener
// which track is being read and how far it got, then how far the encoders are, and it says what
// went wrong through the dialogs.

#include "common/audiolibrary.h"
#include "metadata/disctags.h"
#include "rip/library/libraryfiles.h"
#include "rip/pipeline/rippipeline.h"
#include "rip/pipeline/windowrelay.h"
#include "rip/pipeline/windowthreaddialogs.h"
#include "rip/read/discwatch.h"
#include "rip/step/filecloser.h"
#include "rip/step/ripcontrol.h"
#include "settings/outputchoice.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class DriveDoor;
class QEventLoop;
class RipVerification;
class QWidget;

struct RipRequest {
    DWORD drive = 0;
    std::vector<int> tracks; // 0-based library tracks, in list order
    OutputChoice output;
    DiscTags tags; // what the disc is, for the rip log
    // The drive's disc-change count when the listed disc was scanned: nothing is read once the
    // disc has changed since. None: counted from the job's start.
    std::optional<DWORD> discChanges;
    // By library track: the name (without extension) each file takes; from the pattern when
    // empty.
    std::map<int, QString> fileNames;
    bool mostCareful = false; // the drive reads in its most careful mode
    QString ripAgainOf;       // the log of the job whose failed tracks this one rips again
};

class RipJob {
public:
    struct Services {
        AudioLibrary bass;
        Dialogs& dialogs;
        DriveDoor& door;                  // locked while the job runs
        QWidget& window;                  // the main window, disabled while the job runs
        QString appFolder;                // where the conversion error log is kept
        FileCloser closeFile = CloseFile; // ends the WAV and FLAC files the program writes
    };
    struct Listener {
        std::function<void(int number)> trackStarted; // the track's number on the disc
        std::function<void(float done)> progress;     // 0 to 1 of the track being read
        // All tracks are read: left tracks are at an encoder or waiting for one, done of their
        // work together.
        std::function<void(int left, float done)> encoding;
        // A finished track's verification: "Track 3: accurate (confidence 12)".
        std::function<void(const QString& text)> verdict;
    };
    // boxOwner: the window the job's boxes belong to (the rip dialog).
    RipJob(const Services& services, RipRequest request, QWidget* boxOwner, Listener listener);
    ~RipJob();

    // Rips every track until done or stopped; the count of tracks ripped. The window's events
    // run meanwhile.
    int RipTracks();
    // Ends the running extraction and every running encoder after their current block; no
    // further track starts.
    void StopRipping();
    // The Stop question is open: no audio is read and no box of the rip opens until Resume().
    // Encoders already at work go on.
    void Pause();
    void Resume();
    // The session ends: the job stops at once; its open boxes close as if answered OK, and no
    // later one waits for an answer.
    void StopForShutdown();
    const QString& folder() const { return m_request.output.folder; }
    // What the completion box adds to its count: the verification summary and the tracks to rip
    // again, each on a line of its own that starts with a line break; empty before the end.
    const QString& verificationLines() const { return m_verificationLines; }
    // Once the job has ended: the job that rips the tracks "Rip again" names once more, into the
    // same files and folder, the drive reading most carefully. None when no track needs it, or
    // when the listed disc is no longer in the drive.
    std::optional<RipRequest> ripAgainRequest() const;

private:
    bool PrepareOutputFolder();
    // True the first time a notice (key) comes up in this job: a notice that would hold for
    // every track is shown once.
    bool FirstNoticeInJob(const QString& key);
    void RunPipeline(RipVerification& verify);
    RipContext PipelineContext();
    void AwaitDatabaseAnswer(RipVerification& verification);
    // Waits for the pipeline's last event, whatever ends the loop; the window's events run.
    void AwaitPipeline(QEventLoop& loop, const bool& finished);
    RipPipeline::Events PipelineEvents(RipVerification& verify, WindowRelay& relay,
                                       QEventLoop& loop, bool& finished);
    void ReadToc();
    std::unique_ptr<RipVerification> MakeVerification() const;
    void ShowEncoding();

    Services m_services;
    WindowThreadDialogs m_dialogs;
    RipRequest m_request;
    QWidget* m_boxOwner;
    Listener m_listener;
    RipControl m_control; // bStopRipping, and the pause while the Stop question is open
    std::mutex m_noticesMutex;
    QSet<QString> m_notices;
    RipPipeline* m_pipeline = nullptr;      // while it runs
    QEventLoop* m_awaitingAnswer = nullptr; // while the database's answer is awaited
    int m_encodersLeft = 0;                 // tracks at an encoder or waiting for one
    float m_encodersDone = 0;
    bool m_readingDone = false;
    bool m_encodingShown = false;
    int m_ripped = 0;
    QString m_verificationLines;
    std::vector<int> m_ripAgain; // the tracks "Rip again" names
    QString m_logName;           // this job's log's file name
    std::optional<DiscWatch> m_disc;
    QStringList m_folderNotes; // what the clean-up of the output folder did, for the log
    DiscToc m_toc;
    std::unique_ptr<LibraryFiles> m_library; // from the start of the pipeline to the log
};
