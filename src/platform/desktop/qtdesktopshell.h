#pragma once

#include "common/desktopshell.h"

// Opens documents with the desktop's default handler.
class QtDesktopShell : public DesktopShell {
public:
    void openDocument(const QString& path) override;
};
