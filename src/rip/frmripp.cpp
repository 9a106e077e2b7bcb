#include "rip/frmripp.h"

#include "shell/frmmain.h"

frmRipp::frmRipp(frmMain& main, QWidget* parent) : QDialog(parent), m_main(main) {}
void frmRipp::Form_Load() {}
void frmRipp::tmrRipp_Timer() {}
void frmRipp::cmdStop_Click() {}
void frmRipp::RipTracks() {}
