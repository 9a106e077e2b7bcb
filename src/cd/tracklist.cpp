#include "shell/frmmain.h"

#include <QTreeWidget>

void frmMain::BuildTrackListPanel() {}
void frmMain::LoadTrackList() {}
QString frmMain::Seconds2HMS(int) { return {}; }
int frmMain::TrackOfRow(const QTreeWidgetItem*) { return 0; }
