#pragma once

#include <QString>

// The title of the main window and of the routine error boxes.
inline const QString kProductName = QStringLiteral("Mivo CD Player");

// The version the build names, e.g. "0.1": for the rip log and the User-Agent of requests.
extern const QString kProductVersion;

// Where a database operator who sees Mivo's requests reaches the project: the build's home
// address, a web site or, while there is none, the packager's e-mail.
extern const QString kProductAddress;
