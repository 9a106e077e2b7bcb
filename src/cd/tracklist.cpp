#include "shell/frmmain.h"

#include "common/errorreporting.h"
#include "common/flash.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr double kBytesPerSecond = 176400.0; // 44100 Hz, 16-bit, stereo

// The transport flags of the skin, in the order the movie expects them.
const char* const kTransportFlags[] = {"Play", "Previous", "Next", "Begin", "End", "Stop", "Pause"};

QLineEdit* DiscTextBox(QWidget* parent, const QString& objectName, const QString& name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(objectName);
    box->setReadOnly(true);
    box->setAccessibleName(name);
    return box;
}

// Decimal digits with "00" in front, of which only the last two are kept.
QString TwoDigits(int value) {
    return (QStringLiteral("00") + QString::number(value)).right(2);
}

} // namespace

void frmMain::BuildTrackListPanel() {
    auto* panel = static_cast<QVBoxLayout*>(frMain->layout());

    auto* hint = new QLabel(
        QStringLiteral("Check the tracks that you want to extract, Double click to play"), frMain);
    hint->setWordWrap(true);
    panel->addWidget(hint);

    lsTracks = new QTreeWidget(frMain);
    lsTracks->setObjectName(QStringLiteral("lsTracks"));
    lsTracks->setAccessibleName(hint->text());
    lsTracks->setColumnCount(3);
    lsTracks->setHeaderLabels(
        {QStringLiteral("Track#"), QStringLiteral("Type"), QStringLiteral("Duration")});
    lsTracks->setRootIsDecorated(false);
    lsTracks->setSelectionMode(QAbstractItemView::SingleSelection);
    lsTracks->setAllColumnsShowFocus(true);
    lsTracks->setUniformRowHeights(true);
    lsTracks->header()->setStretchLastSection(true);
    lsTracks->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // three short columns
    lsTracks->setColumnWidth(0, 90);
    lsTracks->setColumnWidth(1, 60);
    hint->setBuddy(lsTracks);
    panel->addWidget(lsTracks, 1);

    auto* disc = new QFormLayout;
    disc->setVerticalSpacing(2);
    txtCDArtist = DiscTextBox(frMain, QStringLiteral("txtCDArtist"), QStringLiteral("Artist"));
    txtCDAlbum = DiscTextBox(frMain, QStringLiteral("txtCDAlbum"), QStringLiteral("Album"));
    disc->addRow(QStringLiteral("Artist :"), txtCDArtist);
    disc->addRow(QStringLiteral("Album :"), txtCDAlbum);
    panel->addLayout(disc);

    lblNoTracks = new QLabel(
        QStringLiteral("If no tracks listed, You can change the CD drive from the settings tab."),
        frMain);
    lblNoTracks->setObjectName(QStringLiteral("lblNoTracks"));
    lblNoTracks->setWordWrap(true);
    panel->addWidget(lblNoTracks);
}

void frmMain::LoadTrackList() {
    // The playback timer keeps ticking while a report box of this scan is open; a
    // second scan then would empty the list under the first one.
    if (m_scanning)
        return;
    const QScopedValueRollback<bool> scanning(m_scanning, true);

    lsTracks->clear();
    const DWORD drive = static_cast<DWORD>(lDrive);
    const int count = cd().BASS_CD_IsReady(drive) ? cd().BASS_CD_GetTracks(drive) : -1;
    if (count == -1) {
        m_reportedScanFailures.clear(); // no disc: the next one is reported afresh
    } else if (const char* cdText = cd().BASS_CD_GetID(drive, BASS_CD_ID_TEXT)) {
        LoadTrackListFromCDText(cdText, count);
    } else {
        txtCDArtist->setText(QStringLiteral("Unknown Artist"));
        txtCDAlbum->setText(QStringLiteral("Unknown Album"));
        for (int t = 0; t < count; ++t) {
            const int length = cd().BASS_CD_GetTrackLength(drive, static_cast<DWORD>(t));
            if (length >= 1) {
                AddTrackRow(t, length);
                continue;
            }
            const int code = core().BASS_ErrorGetCode();
            if (IsNewScanFailure(QStringLiteral("length %1 %2").arg(t).arg(code)))
                ShowCodedError(dialogs(), this, QStringLiteral("There was an error."), code);
        }
    }
    ShowTrackListState();
}

void frmMain::AddTrackRow(int track, int length) {
    const int seconds = static_cast<int>(std::nearbyint(length / kBytesPerSecond));
    auto* row = new QTreeWidgetItem(
        {QStringLiteral("Track ") + QStringLiteral("%1").arg(track + 1, 2, 10, QChar('0')),
         QStringLiteral("Audio"), Seconds2HMS(seconds)});
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(0, Qt::Unchecked);
    row->setData(0, Qt::UserRole, track);
    lsTracks->addTopLevelItem(row);
}

// The skin's transport flags and the hint follow whether the list has rows.
void frmMain::ShowTrackListState() {
    const bool hasRows = lsTracks->topLevelItemCount() > 0;
    const QString enabled = hasRows ? QStringLiteral("1") : QStringLiteral("0");
    for (const char* flag : kTransportFlags)
        movie->SetVariable(QStringLiteral("_root.%1Enabled").arg(QLatin1String(flag)), enabled);
    movie->SetVariable(QStringLiteral("_root.ChangeStatus"), QStringLiteral("1"));
    lblNoTracks->setVisible(!hasRows);
}

bool frmMain::IsNewScanFailure(const QString& key) {
    if (m_reportedScanFailures.contains(key))
        return false;
    m_reportedScanFailures.append(key);
    return true;
}

QString frmMain::Seconds2HMS(int lngSeconds) {
    const int total =
        lngSeconds; // whole seconds already: adding a half and cutting changes nothing
    const int hours = total / 3600;
    const int rest = total - hours * 3600;
    const int minutes = rest / 60;
    const int seconds = rest - minutes * 60;
    const QString ms = TwoDigits(minutes) + ':' + TwoDigits(seconds);
    return hours > 0 ? TwoDigits(hours) + ':' + ms : ms;
}

int frmMain::TrackOfRow(const QTreeWidgetItem* row) {
    if (row == nullptr)
        return -1;
    bool ok = false;
    const int track = row->data(0, Qt::UserRole).toInt(&ok);
    return ok ? track : -1;
}
