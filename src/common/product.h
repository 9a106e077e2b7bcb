#pragma once

#include <QString>

// The title of the main window and of the routine error boxes.
inline const QString kProductName = QStringLiteral("Mivo CD Player");

// The version the build names, e.g. "0.1": for the rip log and the User-Agent of requests.
extern const QString kProductVersion;

// Where a database operator who sees Mivo's requests learns what the program is.
inline const QString kProductAddress = QStringLiteral("https://github.com/mivo/Mivo");
