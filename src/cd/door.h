#pragma once

// The door of the chosen drive. Whoever asks (the face, the CD Drive panel's buttons, a rip),
// this alone opens, closes, locks and unlocks it, and it tells everything that shows the
// door what the drive reports afterwards: the face's lock and door variables, the panel's
// boxes and buttons. A drive that cannot lock is never shown locked.

#include "common/audiolibrary.h"
#include "common/drivedoor.h"

#include <QObject>

#include <optional>

class DriveInfo;
class Flash;

class Door : public QObject, public DriveDoor {
    Q_OBJECT
public:
    Door(BassCd& cd, Flash& movie, DriveInfo& drives, QObject* parent = nullptr);

    void toggleLock();
    void lock() { setLocked(true); }
    void unlock() { setLocked(false); }
    // A locked door stays shut.
    void toggleOpen();
    void open() { move(true); }
    void close() { move(false); }
    // Follows what the drive reports (another program, the drive's own button); true while
    // the door is open.
    bool poll();
    // At shutdown: no drive is left locked.
    void unlockEveryDrive(int driveCount);

    bool isLocked() const override;
    void setLocked(bool locked) override;
    bool isOpen() const;

signals:
    // The disc is about to leave or come: whatever plays from it stops.
    void aboutToMove();
    // The door was opened or closed: the drive and its disc are read again.
    void moved();
    // What the door is now, and what it can do.
    void shown(bool open, bool locked, bool canOpen, bool canLock);

private:
    struct State {
        bool open;
        bool locked;
        bool operator==(const State&) const = default;
    };
    void move(bool toOpen);
    void capabilitiesChanged(bool canOpen, bool canLock);
    State read() const;
    void show(const State& state);

    BassCd& m_cd;
    Flash& m_movie;
    DriveInfo& m_drives;
    bool m_canOpen = false;
    bool m_canLock = false;
    std::optional<State> m_shown; // what everything shows; none before the first drive
};
