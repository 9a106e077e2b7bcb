#include "shell/frmmain.h"

void frmMain::BuildPlaybackControls() {}
void frmMain::cmdButton_Click(int) {}
void frmMain::lsTracks_DblClick() {}
void frmMain::SliderVolume_Change() {}
void frmMain::SliderVolume_Scroll() {}
void frmMain::SliderBalance_Scroll() {}
void frmMain::SliderPosition_MouseDown() {}
void frmMain::SliderPosition_MouseUp() {}
void frmMain::SliderPosition_Click() {}
void frmMain::FadeOut() {}
