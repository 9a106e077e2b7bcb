#pragma once

#include "rip/ripjob.h"

#include <QDialog>

#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// The modal rip dialog: a moment after it opens it runs the rip job, then reports how many
// tracks were ripped and closes. Until then it is the only way out: closing it asks the Stop
// question. When tracks failed, the report offers to rip exactly those again, in the same
// dialog.
class frmRipp : public QDialog {
    Q_OBJECT
public:
    // startDelay: the moment the dialog shows itself before the job starts, in milliseconds.
    frmRipp(const RipJob::Services& services, RipRequest request, int startDelay = 1000,
            QWidget* parent = nullptr);

    void Form_Load();
    void tmrRipp_Timer();

    // The session ends: the job stops as after Stop, without the question, and the dialog closes
    // without the completion box.
    void StopForShutdown();

public slots:
    void cmdStop_Click();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<RipJob> NewJob(RipRequest request);
    // The job that rips the failed tracks again starts as the first did.
    void StartAgain(RipRequest request);
    void FinishJob(int ripped);
    void ShowProgress(float done);
    void ShowStep(const QString& text);

    RipJob::Services m_services;
    std::unique_ptr<RipJob> m_job;
    QLabel* lblRippingPath = nullptr;
    QLabel* lblRip = nullptr;
    QProgressBar* prgRipper = nullptr;
    QLabel* lblVerified = nullptr; // the last finished track's verification
    QPushButton* cmdStop = nullptr;
    QTimer* tmrRipp = nullptr;
    Dialogs& m_dialogs;
    bool m_loaded = false;
    bool m_jobOpen = false; // from the load until the completion box is answered
    bool m_asking = false;  // the Stop question is open: the rip is paused
    QString m_step;         // what lblRip says when the rip is not paused
    bool m_shuttingDown = false;
};
