#pragma once

// What a rip proves: the checksums of every track read, the AccurateRip database's word on
// them, and the rip log left beside the files. It lives on the window's thread and hears from
// the pipeline through the job; the database is asked once a job, after the first track is
// read, and never holds the window.

#include "metadata/disctags.h"
#include "rip/step/trackoutcome.h"
#include "rip/step/trackreading.h"
#include "verify/accurateripclient.h"
#include "verify/riplog.h"

#include <QDateTime>
#include <QObject>

#include <map>
#include <vector>

class Dialogs;
class LibraryFiles;
class QWidget;

class RipVerification : public QObject {
    Q_OBJECT

public:
    struct Job {
        DiscToc toc; // empty when the drive could not tell it
        bool checkAccurateRip = true;
        QString folder;
        QString driveName;
        int readOffset = 0; // samples
        QString outputFormat;
        QString encoderCommand;
        DiscTags tags;
        QStringList folderNotes; // what the clean-up of the folder removed or left alone
        std::vector<int> tracks; // the ticked ones, 0-based, in list order
        bool readTwice = false;
        bool mostCareful = false;
        QString ripAgainOf;              // the log of the job whose tracks this one rips again
        LibraryFiles* library = nullptr; // its lines for the log, once the pipeline has ended
    };
    // What the job's end tells: the lines the completion box adds (the summary, and the tracks to
    // rip again with the reason), those tracks (0-based), and the log's file name.
    struct Report {
        QString lines;
        std::vector<int> ripAgain;
        QString logName;
    };
    explicit RipVerification(Job job, QObject* parent = nullptr);

    void trackRead(int lTrack, const TrackReading& reading);
    void trackEnded(int lTrack, const TrackOutcome& outcome);
    // True while the database's answer is awaited.
    bool waiting() const { return m_waiting; }

    // Writes the log into the output folder (a failure is told through dialogs).
    Report finish(bool stopped, Dialogs& dialogs, QWidget* boxOwner);

signals:
    // A finished track's result, for the rip dialog: "Track 3: accurate (confidence 12)",
    // "Track 4: read failed".
    void verdict(const QString& text);
    // The database's answer came, or the wait ended.
    void settled();

private:
    void answered(const DbarLookup& lookup);
    TrackVerdict judge(int lTrack) const;
    RipLogTrack logTrack(int lTrack) const;
    RipLogFacts facts(bool stopped) const;

    Job m_job;
    AccurateRipIds m_ids;
    AccurateRipClient m_client;
    bool m_asked = false;
    bool m_waiting = false;
    std::optional<DbarLookup> m_answer;
    std::map<int, TrackReading> m_read;     // by library track, read to its end
    std::map<int, TrackOutcome> m_outcomes; // by library track
    int m_lastRipped = -1;
    QDateTime m_start = QDateTime::currentDateTime();
};
