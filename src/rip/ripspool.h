#pragma once

// Where read tracks wait for an encoder: a hidden folder of this process in the output
// folder, so the audio stays on the same disk as the files it becomes. It goes with the job,
// however the job ends; one a killed player left is removed by the next rip into the folder.

#include <QString>

class RipSpool {
public:
    explicit RipSpool(const QString& outputFolder);
    RipSpool(const RipSpool&) = delete;
    RipSpool& operator=(const RipSpool&) = delete;
    ~RipSpool();

    // The spooled audio of the track with this number on the disc (a WAV file); the folder is
    // made at the first call.
    QString trackFile(int number);

    // True for the name of a spool folder (of any process); its process id in pid.
    static bool IsSpoolName(const QString& name, qint64& pid);

private:
    QString m_folder;
    bool m_made = false;
};
