#pragma once

#include <QDialog>
#include <QSet>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidgetItem;
class frmMain;

// The modal rip dialog: one second after it opens it extracts every ticked
// track in the chosen format, then reports how many were ripped and closes.
// Until then it is the only way out: closing it asks the Stop question.
class frmRipp : public QDialog {
    Q_OBJECT
public:
    explicit frmRipp(frmMain& main, QWidget* parent = nullptr);
    ~frmRipp() override;

    void Form_Load();
    void tmrRipp_Timer();
    void cmdStop_Click();

    // True the first time a notice (key) comes up in this job, so a notice that would hold
    // for every track is shown once.
    bool FirstNoticeInJob(const QString& key);

    QLabel* lblRippingPath = nullptr;
    QLabel* lblRip = nullptr;
    QProgressBar* prgRipper = nullptr;
    QPushButton* cmdStop = nullptr;
    QTimer* tmrRipp = nullptr;
    bool bCancelled = false;

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void RipTracks();
    bool RipRow(const QTreeWidgetItem* item);
    void FinishJob(int ripped);

    frmMain& m_main;
    bool m_loaded = false;
    bool m_jobOpen = false; // from the load until the completion box is answered
    bool m_asking = false;  // the Stop question is open
    QSet<QString> m_notices;
};
