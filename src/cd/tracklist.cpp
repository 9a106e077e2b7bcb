#include "cd/tracklist.h"

#include "cd/cdtext.h"
#include "cd/driveinfo.h"
#include "cd/seconds2hms.h"
#include "cd/tickablerowsaccessible.h"
#include "common/errorreporting.h"
#include "common/flash.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
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

} // namespace

TrackList::TrackList(const Services& services, const DriveInfo& drives, QGroupBox* panel,
                     QObject* parent)
    : QObject(parent), m_services(services), m_drives(drives) {
    BuildControls(panel);
}

void TrackList::BuildControls(QGroupBox* frMain) {
    auto* panel = static_cast<QVBoxLayout*>(frMain->layout());

    auto* hint = new QLabel(
        QStringLiteral("Check the tracks that you want to extract, Double click to play"), frMain);
    hint->setWordWrap(true);
    panel->addWidget(hint);

    lsTracks = new QTreeWidget(frMain);
    lsTracks->setObjectName(QStringLiteral("lsTracks"));
    lsTracks->setProperty(TickableRowsAccessible::kTickableRows, true);
    TickableRowsAccessible::InstallFactory();
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
    connect(lsTracks, &QTreeWidget::itemDoubleClicked, this, &TrackList::rowActivated);
    connect(lsTracks, &QTreeWidget::itemChanged, this, [](QTreeWidgetItem* row, int column) {
        if (column == 0)
            DescribeRow(row); // ticked or unticked
    });
    lsTracks->installEventFilter(this);

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

void TrackList::LoadTrackList() {
    // The playback timer keeps ticking while a report box of this scan is open; a
    // second scan then would empty the list under the first one.
    if (m_scanning)
        return;
    const QScopedValueRollback<bool> scanning(m_scanning, true);

    lsTracks->clear();
    BassCd& cd = m_services.cd;
    const DWORD drive = m_drives.currentDrive();
    const int count = cd.BASS_CD_IsReady(drive) ? cd.BASS_CD_GetTracks(drive) : -1;
    if (count == -1) {
        forgetReports(); // no disc: the next one is reported afresh
    } else if (const char* cdText = cd.BASS_CD_GetID(drive, BASS_CD_ID_TEXT)) {
        LoadTrackListFromCDText(cdText, count);
    } else {
        txtCDArtist->setText(QStringLiteral("Unknown Artist"));
        txtCDAlbum->setText(QStringLiteral("Unknown Album"));
        for (int t = 0; t < count; ++t) {
            const int length = cd.BASS_CD_GetTrackLength(drive, static_cast<DWORD>(t));
            if (length >= 1) {
                AddTrackRow(t, length);
                continue;
            }
            const int code = m_services.core.BASS_ErrorGetCode();
            if (IsNewScanFailure(QStringLiteral("length %1 %2").arg(t).arg(code)))
                ShowCodedError(m_services.dialogs, lsTracks->window(),
                               QStringLiteral("There was an error."), code);
        }
    }
    // Play, Next and Previous start from the selected row: a fresh disc starts at its first.
    selectRow(1);
    ShowTrackListState();
}

void TrackList::LoadTrackListFromCDText(const char* lngTagPtr, int lTrackCount) {
    const auto parsed = ParseCdText(lngTagPtr, lTrackCount);
    if (const auto* failure = std::get_if<CdTextFailure>(&parsed)) {
        if (IsNewScanFailure(QStringLiteral("cdtext %1").arg(failure->number)))
            ShowError(m_services.dialogs, lsTracks->window(), QStringLiteral("frmDemo"),
                      QStringLiteral("LoadTrackListFromCDText"), failure->number,
                      failure->description);
        return;
    }
    const auto& titles = std::get<DiscTitles>(parsed);
    txtCDArtist->setText(titles.performer);
    txtCDAlbum->setText(titles.title);
    const DWORD drive = m_drives.currentDrive();
    for (int t = 0; t < lTrackCount; ++t) {
        // A data track has no length to play or rip: no row, and nothing to report.
        const int length = m_services.cd.BASS_CD_GetTrackLength(drive, static_cast<DWORD>(t));
        if (length > 0)
            AddTrackRow(t, length);
    }
}

void TrackList::AddTrackRow(int track, int length) {
    const int seconds = static_cast<int>(std::nearbyint(length / kBytesPerSecond));
    auto* row = new QTreeWidgetItem(
        {QStringLiteral("Track ") + QStringLiteral("%1").arg(track + 1, 2, 10, QChar('0')),
         QStringLiteral("Audio"), Seconds2HMS(seconds)});
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(0, Qt::Unchecked);
    row->setData(0, Qt::UserRole, track);
    DescribeRow(row);
    lsTracks->addTopLevelItem(row);
}

void TrackList::DescribeRow(QTreeWidgetItem* row) {
    const QString ticked =
        row->checkState(0) == Qt::Checked ? QStringLiteral("ticked") : QStringLiteral("not ticked");
    const QString text = row->text(0) + QStringLiteral(", ") + row->text(1) + QStringLiteral(", ") +
                         row->text(2) + QStringLiteral(", ") + ticked;
    if (row->data(0, Qt::AccessibleTextRole).toString() != text)
        row->setData(0, Qt::AccessibleTextRole, text);
}

// Enter on a row plays it, as a double click does; Space ticks or unticks it, whichever of
// its cells has the focus.
bool TrackList::eventFilter(QObject* watched, QEvent* event) {
    if (watched != lsTracks || event->type() != QEvent::KeyPress || selectedRow() == 0)
        return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        emit rowActivated();
        return true;
    }
    if (key == Qt::Key_Space) {
        QTreeWidgetItem* row = lsTracks->currentItem();
        row->setCheckState(0, row->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// The skin's transport flags and the hint follow whether the list has rows.
void TrackList::ShowTrackListState() {
    const bool hasRows = rowCount() > 0;
    const QString enabled = hasRows ? QStringLiteral("1") : QStringLiteral("0");
    for (const char* flag : kTransportFlags)
        m_services.movie.SetVariable(QStringLiteral("_root.%1Enabled").arg(QLatin1String(flag)),
                                     enabled);
    m_services.movie.SetVariable(QStringLiteral("_root.ChangeStatus"), QStringLiteral("1"));
    // The face's display band names the disc, or says there is none.
    m_services.movie.SetVariable(QStringLiteral("_root.DiscTitle"),
                                 hasRows ? txtCDAlbum->text() : QString());
    m_services.movie.SetVariable(QStringLiteral("_root.DiscPerformer"),
                                 hasRows ? txtCDArtist->text() : QString());
    lblNoTracks->setVisible(!hasRows);
}

bool TrackList::IsNewScanFailure(const QString& key) {
    if (m_reportedScanFailures.contains(key))
        return false;
    m_reportedScanFailures.append(key);
    return true;
}

int TrackList::rowCount() const {
    return lsTracks->topLevelItemCount();
}

int TrackList::selectedRow() const {
    QTreeWidgetItem* current = lsTracks->currentItem();
    if (current == nullptr || !current->isSelected())
        return 0;
    return lsTracks->indexOfTopLevelItem(current) + 1;
}

int TrackList::trackOfRow(int row) const {
    const QTreeWidgetItem* item = lsTracks->topLevelItem(row - 1);
    if (item == nullptr)
        return -1;
    bool ok = false;
    const int track = item->data(0, Qt::UserRole).toInt(&ok);
    return ok ? track : -1;
}

void TrackList::selectRow(int row) {
    if (QTreeWidgetItem* item = lsTracks->topLevelItem(row - 1))
        lsTracks->setCurrentItem(item);
}

std::vector<int> TrackList::tickedTracks() const {
    std::vector<int> tracks;
    for (int row = 1; row <= rowCount(); ++row)
        if (lsTracks->topLevelItem(row - 1)->checkState(0) == Qt::Checked)
            tracks.push_back(trackOfRow(row));
    return tracks;
}

QFrame* TrackList::listControl() const {
    return lsTracks;
}
