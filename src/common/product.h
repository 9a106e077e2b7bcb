#pragma once

#include <QString>

// The title of the main window and of the routine error boxes.
inline const QString kProductName = QStringLiteral("Mivo CD Player");
