#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class frmMain;

// The modal rip dialog: one second after it opens it extracts every ticked
// track in the chosen format, then reports how many were ripped and closes.
class frmRipp : public QDialog {
    Q_OBJECT
public:
    explicit frmRipp(frmMain& main, QWidget* parent = nullptr);

    void Form_Load();
    void tmrRipp_Timer();
    void cmdStop_Click();

    QLabel* lblRippingPath = nullptr;
    QLabel* lblRip = nullptr;
    QProgressBar* prgRipper = nullptr;
    QPushButton* cmdStop = nullptr;
    QTimer* tmrRipp = nullptr;
    bool bCancelled = false;

private:
    void RipTracks();

    frmMain& m_main;
};
