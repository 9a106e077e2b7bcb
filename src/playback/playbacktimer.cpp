#include "shell/frmmain.h"

void frmMain::tmrPlaybackPosition_Timer() {}
