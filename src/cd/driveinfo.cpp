#include "shell/frmmain.h"

void frmMain::BuildCDInfoPanel() {}
void frmMain::cmbCDDrives_Click() {}
void frmMain::ShowDriveInfo() {}
