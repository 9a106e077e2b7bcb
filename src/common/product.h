#pragma once

#include <QString>

// The title of the main window and of the routine error boxes.
inline const QString kProductName = QStringLiteral("Mivo CD Player");

// The build's version, named to the online databases and in the rip log.
inline const QString kProductVersion = QStringLiteral(MIVO_VERSION);

// Where a database operator who sees Mivo's requests learns what the program is.
inline const QString kProductAddress = QStringLiteral("https://github.com/mivo/Mivo");
