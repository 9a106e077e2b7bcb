#include "shell/frmmain.h"

void frmMain::PlayTrack(int) {}
void frmMain::PlayNextTrack(int) {}
void frmMain::CDError() {}
void frmMain::ConnectPlaybackSignals() {}
