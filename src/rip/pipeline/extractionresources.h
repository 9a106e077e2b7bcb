#pragma once

class QWidget;

class DriveDoor;

// What a rip holds from its first track to its last: the door locked and the main window
// disabled (the rip dialog stays usable). However the rip ends, the destructor gives it all
// back: the door to the lock state the user had, the window usable. The window's thread holds
// it.
class ExtractionResources {
public:
    ExtractionResources(DriveDoor& door, QWidget& window, QWidget* dialog);
    ExtractionResources(const ExtractionResources&) = delete;
    ExtractionResources& operator=(const ExtractionResources&) = delete;
    ~ExtractionResources();

private:
    DriveDoor& m_door;
    QWidget& m_window;
    bool m_wasLocked;
};
