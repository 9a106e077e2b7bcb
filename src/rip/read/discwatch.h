#pragma once

// Whether the disc a rip reads is still the disc whose track list the user ticked: another disc
// put in (by the drive's own button, another program, an image's files replaced) or the drive
// gone (a USB drive pulled out) must never be read, named and tagged as the listed disc.
//
// Threads: made on the window's thread; asked on the reader's.

#include "common/audiolibrary.h"

#include <QString>

#include <optional>

class DiscWatch {
public:
    // changes: the drive's disc-change count when the listed disc was scanned.
    DiscWatch(BassCd& cd, DWORD drive, DWORD changes);

    // Why the listed disc can no longer be read ("the disc in the drive changed", "the drive was
    // disconnected"); none while it is still there. Cheap enough for every block read.
    std::optional<QString> lost() const;

private:
    BassCd& m_cd;
    DWORD m_drive;
    DWORD m_changes;
};

// The box that says the rip stopped because the disc was lost while track number was read.
struct DiscLostBox {
    QString caption;
    QString text;
};
DiscLostBox DiscLostMessage(const QString& reason, int number);
