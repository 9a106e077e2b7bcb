#include "shell/frmmain.h"

void frmMain::LoadTrackListFromCDText(const char*, int) {}
