#pragma once

#include <QString>

// Opens a document with the desktop's default handler (the help page).
class DesktopShell {
public:
    virtual ~DesktopShell() = default;
    virtual void openDocument(const QString& path) = 0;
};
