#include "shell/frmmain.h"

void frmMain::StopRipping() {}
bool frmMain::ExtractAudioTrackToWav(int) { return false; }
