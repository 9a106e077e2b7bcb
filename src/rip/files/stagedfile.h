#pragma once

// A ripped file is written under a hidden name of its own beside its final name and takes the
// final name only when it is complete: a failed attempt, a crash, a kill or a power loss never
// leaves a damaged file under the final name, and never destroys the file an earlier rip left
// there. The hidden name carries the writing process's random mark, the one its spool folder's
// lock stands for, so two players ripping into one folder never write into the same file and
// each can tell whether the other still runs.

#include <QString>
#include <QStringList>

class StagedFile {
public:
    explicit StagedFile(QString finalPath);
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    // Removes the file written so far unless it was made final.
    ~StagedFile();

    // Where the file is written meanwhile; it keeps the final name's extension.
    const QString& path() const { return m_path; }
    const QString& finalPath() const { return m_finalPath; }

    // Puts the written file on disk for good and gives it the final name, replacing the file of
    // that name in one step; false (and nothing replaced) when it cannot.
    bool makeFinal();

    // The hidden name this process writes finalPath under.
    static QString PathWhileWriting(const QString& finalPath);

    // Removes what killed or crashed players left in folder and in its sub-folders down to
    // folderLevels: hidden files and spool folders whose lock is free. Those of a player still
    // ripping there are left alone. A line for the rip log for each removed or left alone.
    static QStringList RemoveLeftovers(const QString& folder, int folderLevels = 2);

private:
    QString m_finalPath;
    QString m_path;
    bool m_final = false;
};
