#include "platform/desktop/qtdesktopshell.h"

#include <QDesktopServices>
#include <QUrl>

void QtDesktopShell::openDocument(const QString& path) {
    // The result is not checked: a missing handler is the desktop's to report.
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
