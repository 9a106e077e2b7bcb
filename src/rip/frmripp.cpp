#include "rip/frmripp.h"

#include "common/dialogs.h"
#include "rip/ripoutput.h"
#include "shell/frmmain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

frmRipp::frmRipp(frmMain& main, QWidget* parent) : QDialog(parent), m_main(main) {
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
    cmdStop = new QPushButton(QStringLiteral("&Stop"), this);
    cmdStop->setObjectName(QStringLiteral("cmdStop"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblRippingPath);
    layout->addWidget(lblRip);
    layout->addWidget(prgRipper);
    layout->addWidget(cmdStop, 0, Qt::AlignRight);
    setMinimumWidth(360);

    tmrRipp = new QTimer(this);
    tmrRipp->setSingleShot(true);
    tmrRipp->setInterval(1000);
    connect(tmrRipp, &QTimer::timeout, this, &frmRipp::tmrRipp_Timer);
    connect(cmdStop, &QPushButton::clicked, this, &frmRipp::cmdStop_Click);
}

frmRipp::~frmRipp() {
    if (m_main.ripDialog == this)
        m_main.ripDialog = nullptr;
    if (m_jobOpen)
        m_main.bRipping = false;
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
    m_main.bRipping = true;
    bCancelled = false;
    m_jobOpen = true;
    m_notices.clear();
    m_main.ripDialog = this;
    const QString path = m_main.txtExtractPath->text();
    lblRippingPath->setText(QStringLiteral("Ripping Path:") + path);
    // One level only. A folder that cannot be made is reported by each extraction that fails
    // to create its file there.
    QDir().mkdir(path);
    tmrRipp->start();
}

void frmRipp::tmrRipp_Timer() {
    tmrRipp->stop();
    if (m_asking) {
        // The Stop question is open: the job must not start underneath it.
        tmrRipp->start();
        return;
    }
    RipTracks();
}

void frmRipp::RipTracks() {
    for (int k = 0; k < 5; ++k)
        QCoreApplication::processEvents();
    const int n = m_main.lsTracks->topLevelItemCount();
    int ripped = 0;
    for (int i = 1; i <= n; ++i) {
        if (bCancelled)
            break;
        const QTreeWidgetItem* item = m_main.lsTracks->topLevelItem(i - 1);
        if (item == nullptr || item->checkState(0) != Qt::Checked)
            continue;
        // The number the row shows ("Track 03"): rows carry their track.
        lblRip->setText(QStringLiteral("Ripping Track Number:") +
                        QString::number(frmMain::TrackOfRow(item) + 1));
        if (RipRow(item))
            ++ripped;
    }
    FinishJob(ripped);
}

// Rips one row in the chosen format; true when its file was written completely.
bool frmRipp::RipRow(const QTreeWidgetItem* item) {
    const int lTrack = frmMain::TrackOfRow(item);
    // Files are named after the disc's track, also when an unreadable track left no row.
    const RipOutput output =
        ChooseRipOutput(ReadOutputFormatChoice(m_main), lTrack + 1, m_main.txtExtractPath->text());
    switch (output.path) {
    case RipPath::Wav:
        return m_main.ExtractAudioTrackToWav(lTrack);
    case RipPath::Wma:
        if (!output.wmaBitrate) {
            if (FirstNoticeInJob(QStringLiteral("no WMA bit rate")))
                m_main.dialogs().showMessage(
                    this,
                    QStringLiteral("No WMA bit rate is selected, so no WMA file can be made. "
                                   "Choose a bit rate in the WMA options."),
                    QStringLiteral("WMA bit rate"), MessageIcon::Exclamation, MessageButtons::Ok);
            return false;
        }
        return m_main.ExtractAudioTrackToWMA(lTrack, *output.wmaBitrate);
    case RipPath::Encoder:
        return m_main.Converter(QString::number(lTrack), output.code, output.bitrate, output.file,
                                true);
    case RipPath::None:
        return false;
    }
    return false;
}

void frmRipp::FinishJob(int ripped) {
    m_main.dialogs().showMessage(
        this,
        QString::number(ripped) + QStringLiteral(" Tracks have been Ripped to ") +
            m_main.txtExtractPath->text(),
        QStringLiteral("Ripping Completed"), MessageIcon::Information, MessageButtons::Ok);
    // A stop request belongs to this job; left set, it would hold the position display still.
    m_main.bStopRipping = false;
    m_main.bRipping = false;
    m_jobOpen = false;
    m_main.ripDialog = nullptr;
    accept();
}

void frmRipp::cmdStop_Click() {
    if (m_asking || !m_jobOpen)
        return;
    m_asking = true;
    const MessageResult answer = m_main.dialogs().showMessage(
        this, QStringLiteral("Are you sure that you want to cancel the ripping process?"),
        QStringLiteral("Are you sure?"), MessageIcon::Question, MessageButtons::YesNo);
    m_asking = false;
    if (answer == MessageResult::Yes) {
        bCancelled = true;
        m_main.StopRipping();
    }
}

bool frmRipp::FirstNoticeInJob(const QString& key) {
    if (m_notices.contains(key))
        return false;
    m_notices.insert(key);
    return true;
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
