#include "shell/frmmain.h"

void frmMain::BuildFileFormatPanel() {}
void frmMain::BuildGeneralOptionsPanel() {}
void frmMain::optExtractMode_Click(int) {}
void frmMain::cmdBrowseFolder_Click() {}
