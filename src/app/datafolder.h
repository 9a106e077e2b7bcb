#pragma once

#include <QString>

// The folder holding what the program reads (Main.qml, Skin.qss, Help.html, discs/): the
// program's own folder when the skin lies beside it, as in the build, else the installed
// data folder found from the program's folder, so a moved installation still finds it.
QString DataFolder(const QString& programFolder);
