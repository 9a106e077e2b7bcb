#pragma once

// The drive list and the capabilities of the chosen drive, in the CD Drive panel.

#include "cd/driveoffset.h"
#include "common/audiolibrary.h"

#include <QObject>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;

class DriveInfo : public QObject {
    Q_OBJECT
public:
    // The library's core, the boxes and the settings folder serve the drive's read offset.
    using Services = DriveOffset::Services;
    DriveInfo(const Services& services, QGroupBox* panel, QObject* parent = nullptr);

    // Lists every drive the library knows, then chooses the first, which scans its disc.
    void FillDriveList();
    // Lists the drives again once one came or went (a USB drive plugged in or out). The drive
    // chosen stays chosen; when it has gone, the first one left is chosen and scanned.
    void followDriveList();
    void cmbCDDrives_Click();
    void ShowDriveInfo();
    // The door boxes; "Drive is locked" stays greyed for a drive that cannot lock.
    void showDoor(bool open, bool locked, bool canOpen, bool canLock);

    DWORD currentDrive() const { return static_cast<DWORD>(lDrive); }
    // The position of the chosen drive in the list, -1 when none is chosen.
    int selectedIndex() const;
    // Chooses the drive at that position, which scans its disc when it is another drive;
    // false when the list has no such position.
    bool selectDrive(int index);
    // Every drive index the library has given out, gone drives included.
    int driveCount() const { return m_driveCount; }
    // While a rip reads the drive, its read offset stays as it is (see DriveOffset).
    void setRipping(bool ripping) { m_offset->setRipping(ripping); }

signals:
    // Another drive was chosen and shown; its disc has not been scanned yet.
    void driveChanged();
    // What the door of the drive shown can do, for the door that shows it.
    void doorCapabilities(bool canOpen, bool canLock);

private:
    void BuildControls(QGroupBox* panel);
    // The drives present, in index order, without choosing one.
    void ListDrives();
    // A box per unknown field is greyed, an unknown figure reads "unknown".
    void ShowUnknown(const BASS_CD_INFO& unknown);

    BassCd& m_cd;
    DWORD m_listChanges = 0; // the library's count when the list was made
    DriveOffset* m_offset = nullptr;
    int lDrive = 0;
    int m_driveCount = 0;
    QComboBox* cmbCDDrives = nullptr;
    std::array<QCheckBox*, 15> chkRWFlags{};
    QLabel* lblMaxReadSpeed = nullptr;
    QLabel* lblCacheSize = nullptr;
};
