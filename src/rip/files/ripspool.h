#pragma once

// Where read tracks wait for an encoder, and what tells that the job's files in the output
// folder are still in use. The hidden folder ".mivo-spool-<mark>" keeps the audio on the same
// disk as the files it becomes, and holds a lock file the job keeps locked (flock) from before
// its first file until after its last. Every hidden file the job writes carries the same mark,
// so another player that finds one tells by that lock whether its job still runs, whatever
// process-id namespace or computer the job runs on. The folder goes with the job, however the
// job ends, and so do the folders the job made for tracks that then left nothing in them; what a
// killed player left is removed by the next rip into the folder.

#include "rip/files/folderentries.h"

#include <QString>
#include <QStringList>

#include <vector>

class RipSpool {
public:
    // Makes the folder in outputFolder and locks it.
    explicit RipSpool(const QString& outputFolder);
    RipSpool(const RipSpool&) = delete;
    RipSpool& operator=(const RipSpool&) = delete;
    ~RipSpool();

    // The spooled audio of the track with this number on the disc (a WAV file).
    QString trackFile(int number);
    // Makes every missing folder above file; those still empty when the job ends are removed.
    // Called from one thread at a time.
    void makeFolderOf(const QString& file);

    // The name of the lock file in a spool folder.
    static const QString& LockName();
    // Removes the spool folder name of parent, open as folder, whose lock is held: the spooled
    // tracks and the lock file, then the folder, never through a link. False when something Mivo
    // did not make is in it: that stays, named in foreign, and so do the lock and the folder.
    static bool Remove(int parent, const QString& name, int folder, QStringList& foreign);

private:
    bool make();

    QString m_outputFolder;
    QString m_name;
    Descriptor m_lock;                  // held while the job runs
    std::vector<QString> m_madeFolders; // in the order they were made
};
