#include "rip/frmripp.h"

#include "common/dialogs.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

frmRipp::frmRipp(const RipJob::Services& services, RipRequest request, int startDelay,
                 QWidget* parent)
    : QDialog(parent), m_services(services), m_job(NewJob(std::move(request))),
      m_dialogs(services.dialogs) {
    setObjectName(QStringLiteral("frmRipp"));
    setWindowTitle(QStringLiteral("Ripping In Progress..."));
    setModal(true);

    lblRippingPath = new QLabel(QStringLiteral("Ripping Path:"), this);
    lblRippingPath->setObjectName(QStringLiteral("lblRippingPath"));
    lblRip = new QLabel(QStringLiteral("Ripping Track Number:"), this);
    lblRip->setObjectName(QStringLiteral("lblRip"));
    prgRipper = new QProgressBar(this);
    prgRipper->setObjectName(QStringLiteral("prgRipper"));
    prgRipper->setRange(0, 100);
    prgRipper->setValue(0);
    prgRipper->setAccessibleName(QStringLiteral("Progress of the current track"));
    lblVerified = new QLabel(this);
    lblVerified->setObjectName(QStringLiteral("lblVerified"));
    lblVerified->setAccessibleName(QStringLiteral("Verification of the last finished track"));
    cmdStop = new QPushButton(QStringLiteral("&Stop"), this);
    cmdStop->setObjectName(QStringLiteral("cmdStop"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblRippingPath);
    layout->addWidget(lblRip);
    layout->addWidget(prgRipper);
    layout->addWidget(lblVerified);
    layout->addWidget(cmdStop, 0, Qt::AlignRight);
    setMinimumWidth(360);

    tmrRipp = new QTimer(this);
    tmrRipp->setSingleShot(true);
    tmrRipp->setInterval(startDelay);
    connect(tmrRipp, &QTimer::timeout, this, &frmRipp::tmrRipp_Timer);
    connect(cmdStop, &QPushButton::clicked, this, &frmRipp::cmdStop_Click);
}

std::unique_ptr<RipJob> frmRipp::NewJob(RipRequest request) {
    return std::make_unique<RipJob>(
        m_services, std::move(request), this,
        RipJob::Listener{[this](int number) {
                             ShowStep(QStringLiteral("Ripping Track Number:") +
                                      QString::number(number));
                         },
                         [this](float done) { ShowProgress(done); },
                         [this](int left, float done) {
                             ShowStep(QStringLiteral("Encoding: ") + QString::number(left) +
                                      QStringLiteral(" Tracks left"));
                             ShowProgress(done);
                         },
                         [this](const QString& text) { lblVerified->setText(text); }});
}

// The dialog loads when it is first shown.
void frmRipp::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_loaded)
        return;
    m_loaded = true;
    Form_Load();
}

void frmRipp::Form_Load() {
    m_jobOpen = true;
    lblRippingPath->setText(QStringLiteral("Ripping Path:") + m_job->folder());
    tmrRipp->start();
}

void frmRipp::tmrRipp_Timer() {
    tmrRipp->stop();
    if (m_asking) {
        // The Stop question is open: the job must not start underneath it.
        tmrRipp->start();
        return;
    }
    FinishJob(m_job->RipTracks());
}

// Whole percent, a half going to the even neighbour.
void frmRipp::ShowProgress(float done) {
    prgRipper->setValue(static_cast<int>(std::lrint(done * 100.0f)));
}

void frmRipp::FinishJob(int ripped) {
    if (!m_shuttingDown) {
        std::optional<RipRequest> again = m_job->ripAgainRequest();
        const MessageResult answer = m_dialogs.showMessage(
            this,
            QString::number(ripped) + QStringLiteral(" Tracks have been Ripped to ") +
                m_job->folder() + m_job->verificationLines(),
            QStringLiteral("Ripping Completed"), MessageIcon::Information,
            again ? MessageButtons::OkRipAgain : MessageButtons::Ok);
        if (answer == MessageResult::RipAgain && again && !m_shuttingDown) {
            StartAgain(std::move(*again));
            return;
        }
    }
    m_jobOpen = false;
    accept();
}

void frmRipp::StartAgain(RipRequest request) {
    m_job = NewJob(std::move(request));
    ShowStep(QStringLiteral("Ripping Track Number:"));
    ShowProgress(0);
    lblVerified->clear();
    tmrRipp->start();
}

// What the rip is at; while the Stop question is open the dialog says it is paused instead.
void frmRipp::ShowStep(const QString& text) {
    m_step = text;
    if (!m_asking)
        lblRip->setText(text);
}

void frmRipp::StopForShutdown() {
    m_shuttingDown = true;
    m_job->StopForShutdown();
    if (tmrRipp->isActive()) { // the job has not started: nothing to wait for
        tmrRipp->stop();
        m_jobOpen = false;
        accept();
    }
}

void frmRipp::cmdStop_Click() {
    if (m_asking || !m_jobOpen)
        return;
    // No audio is read, and no other box of the rip opens, until the question is answered.
    m_asking = true;
    m_step = lblRip->text();
    lblRip->setText(QStringLiteral("Ripping paused until you answer"));
    m_job->Pause();
    const MessageResult answer = m_dialogs.showMessage(
        this, QStringLiteral("Are you sure that you want to cancel the ripping process?"),
        QStringLiteral("Are you sure?"), MessageIcon::Question, MessageButtons::YesNo);
    m_asking = false;
    lblRip->setText(m_step);
    if (answer == MessageResult::Yes)
        m_job->StopRipping();
    m_job->Resume();
}

// Closing through the frame or with Escape while the job runs is a request to stop it: the
// job itself closes the dialog once the running extraction has ended.
void frmRipp::closeEvent(QCloseEvent* event) {
    if (!m_jobOpen) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    cmdStop_Click();
}

void frmRipp::reject() {
    if (m_jobOpen) {
        cmdStop_Click();
        return;
    }
    QDialog::reject();
}
