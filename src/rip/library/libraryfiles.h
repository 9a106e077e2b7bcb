#pragma once

// What makes a rip's files ready for a music library beyond their titles: each track's
// ReplayGain and the disc's cover in its file, and once every track has ended the album's gain in
// every file, the cue sheet, the playlist and the cover file beside them. Its lines for the rip
// log are kept until the log is written. The encoders and the reader call it from their threads.

#include "common/audiolibrary.h"
#include "common/discsubcode.h"
#include "dsp/deemphasis.h"
#include "metadata/disctags.h"
#include "rip/files/ripoutput.h"
#include "rip/library/loudnessthread.h"
#include "rip/step/trackoutcome.h"
#include "settings/outputchoice.h"
#include "settings/outputformats.h"

#include <QStringList>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class Dialogs;
class QWidget;

// What {format} makes of the chosen format: "FLAC", "MP3"; empty without one.
QString FormatName(const OutputChoice& choice);
// How many folders deep the files of both formats lie below the output folder.
int FolderLevels(const OutputChoice& choice);

class LibraryFiles {
public:
    struct Job {
        DWORD drive = 0;
        OutputChoice output;
        DiscTags tags;
        DiscToc toc;
        std::vector<int> tracks; // the requested ones, in list order
    };
    LibraryFiles(AudioLibrary bass, Job job);
    ~LibraryFiles();

    // Where the reader's blocks go to be measured; null when no gain is written.
    LoudnessThread* loudness() { return m_loudness.get(); }
    // What the disc's subcode says, read the first time it is asked for; none when the drive
    // cannot tell it.
    const DiscSubcode* subcode();

    // The filter the track's audio goes through on its way to the file: de-emphasis when the track
    // was mastered with pre-emphasis, the user asked for it to be removed, and the file is lossy
    // (WAV and FLAC keep the disc's samples); none otherwise.
    std::optional<DeEmphasis> deEmphasisFor(int lTrack, RipPath path);
    // The file of the second format ("Also make") the track is made into too, from the same
    // spooled audio; none without a second format.
    std::optional<RipOutput> alsoOutput(int lTrack) const;
    // The track's outcome once both formats' files are made: it is ripped when both are whole,
    // else the first failure, the second's named by its format.
    TrackOutcome bothMade(int lTrack, const TrackOutcome& first, const TrackOutcome& second);
    // A track's file is whole and still staged: its gain and the cover go in.
    void finishFile(int lTrack, RipPath path, const QString& staged);
    // How a track's work ended.
    void trackEnded(int lTrack, const TrackOutcome& outcome);
    // Every track has ended: the album's gain into the files kept, and the files beside them.
    // A sheet or playlist that cannot be written is told in one box.
    void jobDone(Dialogs& dialogs, QWidget* boxOwner);

    // Lines for the rip log: the track's, and the job's.
    QStringList trackNotes(int lTrack) const;
    QStringList jobNotes() const;

private:
    void note(int lTrack, const QString& line);
    void jobNote(const QString& line);
    std::vector<int> rippedTracks() const;
    bool preEmphasised(int lTrack);
    void notePreEmphasis(const std::vector<int>& ripped);
    void writeAlbumGain(const std::vector<int>& ripped);
    void tagDiscImage(const QString& image, const std::vector<int>& ripped);
    void writeDiscFiles(const std::vector<int>& ripped, Dialogs& dialogs, QWidget* boxOwner);

    AudioLibrary m_bass;
    const Job m_job;
    const std::optional<OutputChoice> m_also; // the second format
    std::map<int, QString> m_alsoNames;
    std::unique_ptr<LoudnessThread> m_loudness;
    std::once_flag m_subcodeRead;
    std::optional<DiscSubcode> m_subcode;
    mutable std::mutex m_mutex; // guards the four below
    std::map<int, TrackOutcome> m_outcomes;
    std::map<int, QString> m_alsoFiles; // the second format's files kept
    std::map<int, QStringList> m_trackNotes;
    QStringList m_jobNotes;
};
