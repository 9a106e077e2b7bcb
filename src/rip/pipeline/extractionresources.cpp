#include "rip/pipeline/extractionresources.h"

#include "common/drivedoor.h"

#include <QWidget>

ExtractionResources::ExtractionResources(DriveDoor& door, QWidget& window, QWidget* dialog)
    : m_door(door), m_window(window), m_wasLocked(door.isLocked()) {
    m_door.setLocked(true);
    m_window.setEnabled(false);
    // The rip dialog is a window of the main window: disabling the main window disabled it too,
    // and with it the Stop button.
    if (dialog != nullptr && dialog->isWindow())
        dialog->setEnabled(true);
}

ExtractionResources::~ExtractionResources() {
    if (!m_wasLocked)
        m_door.setLocked(false);
    m_window.setEnabled(true);
}
