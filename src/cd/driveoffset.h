#pragma once

// The read offset of the chosen drive, on the CD Drive panel: shown and set in samples, saved
// per drive at once, given to the audio library, and found with the AccurateRip database.

#include "common/audiolibrary.h"
#include "settings/cregister.h"

#include <QObject>
#include <QString>

class Dialogs;
class OffsetFinder;
class QGroupBox;
class QPushButton;
class QSpinBox;
struct OffsetFinding;

class DriveOffset : public QObject {
    Q_OBJECT
public:
    struct Services {
        BassCore& core; // reads the disc to find the offset
        BassCd& cd;
        Dialogs& dialogs;
        QString settingsFolder;
    };
    DriveOffset(const Services& services, QGroupBox* panel, QObject* parent = nullptr);

    // Shows the drive's saved offset and gives it to the library. A disc image is read as it
    // is: its offset is 0 and cannot be changed.
    void showDrive(DWORD drive);
    // The drive belongs to a rip: a search for the offset ends at once, unanswered, and
    // neither the offset nor a search can be started until the rip is over.
    void setRipping(bool ripping);

private:
    void BuildControls(QGroupBox* panel);
    void spnReadOffset_Change(int samples);
    void cmdFindOffset_Click();
    void offsetFound(const OffsetFinding& finding);
    // Saves the drive's offset and gives it to the library; false after a box saying why not.
    bool setOffset(DWORD drive, int samples);
    QString driveName(DWORD drive);
    bool isDiscImage(DWORD drive);
    void enableControls();

    BassCd& m_cd;
    Dialogs& m_dialogs;
    CRegister m_register;
    OffsetFinder* m_finder;
    DWORD m_drive = 0;
    bool m_ripping = false;
    QSpinBox* spnReadOffset = nullptr;
    QPushButton* cmdFindOffset = nullptr;
};
