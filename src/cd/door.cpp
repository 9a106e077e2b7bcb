#include "cd/door.h"

#include "cd/driveinfo.h"
#include "common/flash.h"

Door::Door(BassCd& cd, Flash& movie, DriveInfo& drives, QObject* parent)
    : QObject(parent), m_cd(cd), m_movie(movie), m_drives(drives) {
    connect(&drives, &DriveInfo::doorCapabilities, this, &Door::capabilitiesChanged);
}

bool Door::isLocked() const {
    return m_cd.BASS_CD_DoorIsLocked(m_drives.currentDrive()) != 0;
}

bool Door::isOpen() const {
    return m_cd.BASS_CD_DoorIsOpen(m_drives.currentDrive()) != 0;
}

void Door::toggleLock() {
    setLocked(!isLocked());
}

void Door::setLocked(bool locked) {
    m_cd.BASS_CD_Door(m_drives.currentDrive(), locked ? BASS_CD_DOOR_LOCK : BASS_CD_DOOR_UNLOCK);
    show(read());
}

void Door::toggleOpen() {
    move(!isOpen());
}

void Door::move(bool toOpen) {
    if (isLocked())
        return;
    emit aboutToMove();
    m_cd.BASS_CD_Door(m_drives.currentDrive(), toOpen ? BASS_CD_DOOR_OPEN : BASS_CD_DOOR_CLOSE);
    show(read());
    emit moved();
}

bool Door::poll() {
    const State now = read();
    if (now != m_shown)
        show(now);
    return now.open;
}

void Door::unlockEveryDrive(int driveCount) {
    for (int drive = 0; drive < driveCount; ++drive)
        m_cd.BASS_CD_Door(static_cast<DWORD>(drive), BASS_CD_DOOR_UNLOCK);
}

// Another drive, or the same one shown again: everything shows it afresh.
void Door::capabilitiesChanged(bool canOpen, bool canLock) {
    m_canOpen = canOpen;
    m_canLock = canLock;
    show(read());
}

Door::State Door::read() const {
    return {isOpen(), m_canLock && isLocked()};
}

void Door::show(const State& state) {
    const bool lockChanged = !m_shown || m_shown->locked != state.locked;
    m_shown = state;
    if (lockChanged) {
        m_movie.SetVariable(QStringLiteral("_root.lock"), state.locked ? "1" : "0");
        m_movie.SetVariable(QStringLiteral("_root.lockFlag"), QStringLiteral("1"));
    }
    m_movie.SetVariable(QStringLiteral("_root.DoorOpen"), state.open ? "1" : "0");
    m_movie.SetVariable(QStringLiteral("_root.CanLock"), m_canLock ? "1" : "0");
    m_movie.SetVariable(QStringLiteral("_root.CanOpen"), m_canOpen ? "1" : "0");
    emit shown(state.open, state.locked, m_canOpen, m_canLock);
}
