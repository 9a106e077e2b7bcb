#include "cd/tracklist.h"

#include "cd/cdtext.h"
#include "cd/driveinfo.h"
#include "cd/releasechooser.h"
#include "cd/seconds2hms.h"
#include "cd/tickablerowsaccessible.h"
#include "cd/titlelookup.h"
#include "common/errorreporting.h"
#include "common/flash.h"

#include <QAbstractItemDelegate>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTimer>
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
    box->setAccessibleName(name); // the user may correct what the disc or a database says
    return box;
}

} // namespace

TrackList::TrackList(const Services& services, const DriveInfo& drives, QGroupBox* panel,
                     QObject* parent)
    : QObject(parent), m_services(services), m_drives(drives) {
    BuildControls(panel);
    m_titles = new TitleLookup([this] { return !m_lookUpOnline || m_lookUpOnline(); },
                               [this](const QList<ReleaseInfo>& releases) {
                                   return ReleaseChooser::Choose(lsTracks->window(), releases);
                               },
                               this);
    connect(m_titles, &TitleLookup::settled, this, &TrackList::OnReleaseSettled);
    m_subcodePoll = new QTimer(this);
    m_subcodePoll->setInterval(100);
    connect(m_subcodePoll, &QTimer::timeout, this, &TrackList::AskSubcode);
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
    lsTracks->setColumnCount(4);
    lsTracks->setHeaderLabels({QStringLiteral("Track#"), QStringLiteral("Type"),
                               QStringLiteral("Duration"), QStringLiteral("Title")});
    // Only the Title cell is edited, and only by F2 or a double click on it.
    lsTracks->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lsTracks->setRootIsDecorated(false);
    lsTracks->setSelectionMode(QAbstractItemView::SingleSelection);
    lsTracks->setAllColumnsShowFocus(true);
    lsTracks->setUniformRowHeights(true);
    lsTracks->header()->setStretchLastSection(true);
    lsTracks->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // the title takes the rest
    lsTracks->setColumnWidth(0, 80);
    lsTracks->setColumnWidth(1, 70); // "Audio" and the mark of pre-emphasis
    lsTracks->setColumnWidth(2, 60);
    hint->setBuddy(lsTracks);
    panel->addWidget(lsTracks, 1);
    connect(lsTracks, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* row, int column) {
                if (column == kTitleColumn)
                    EditTitle(row);
                else
                    emit rowActivated();
            });
    // Ticked or unticked, or given a title.
    connect(lsTracks, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* row, int column) {
        if (column == kTitleColumn && m_editingTitle) { // typed by the user: an answer keeps it
            m_editedTitles.insert(lsTracks->indexOfTopLevelItem(row));
            ShowTitlesFrom();
        }
        DescribeRow(row);
    });
    lsTracks->installEventFilter(this);
    connect(lsTracks->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this] { m_editingTitle = false; });

    auto* disc = new QFormLayout;
    disc->setVerticalSpacing(2);
    txtCDArtist = DiscTextBox(frMain, QStringLiteral("txtCDArtist"), QStringLiteral("Artist"));
    txtCDAlbum = DiscTextBox(frMain, QStringLiteral("txtCDAlbum"), QStringLiteral("Album"));
    disc->addRow(QStringLiteral("Artist :"), txtCDArtist);
    disc->addRow(QStringLiteral("Album :"), txtCDAlbum);
    for (QLineEdit* box : {txtCDArtist, txtCDAlbum}) {
        connect(box, &QLineEdit::textEdited, this, &TrackList::ShowDiscNames);
        connect(box, &QLineEdit::textEdited, this, &TrackList::ShowTitlesFrom);
    }
    panel->addLayout(disc);

    lblTitlesFrom = new QLabel(frMain);
    lblTitlesFrom->setObjectName(QStringLiteral("lblTitlesFrom"));
    lblTitlesFrom->setAccessibleName(QStringLiteral("Where the titles came from"));
    panel->addWidget(lblTitlesFrom);

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

    m_titles->cancel(); // whatever the disc is now, an answer about the last one is stale
    emit discListed(QString());
    m_cdText = ReleaseInfo();
    m_cdTextCuts.clear();
    m_disc = DiscTags();
    m_subcodePoll->stop();
    m_subcode.reset();
    m_editingTitle = false; // an editor goes with its row
    m_editedTitles.clear();
    lsTracks->clear();
    BassCd& cd = m_services.cd;
    const DWORD drive = m_drives.currentDrive();
    // Counted before reading: a change during the scan makes the timer scan again.
    m_scanned = {drive, cd.BASS_CD_GetDiscChanges(drive)};
    const int count = cd.BASS_CD_IsReady(drive) ? cd.BASS_CD_GetTracks(drive) : -1;
    if (count == -1) {
        forgetReports(); // no disc: the next one is reported afresh
    } else if (const char* cdText = cd.BASS_CD_GetID(drive, BASS_CD_ID_TEXT)) {
        LoadTrackListFromCDText(cdText, count);
    } else {
        txtCDArtist->setText(kUnknownArtist);
        txtCDAlbum->setText(kUnknownAlbum);
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
    // Play, Next and Previous start from the selected row: a fresh disc starts at its first track,
    // selected before a subcode already known can put the hidden track's row above it.
    selectRow(1);
    if (rowCount() > 0) {
        LookUpDisc();
        AskSubcode();
    }
    ShowTrackListState();
    ShowTitlesFrom();
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
    m_cdText.title = CleanText(titles.title);
    m_cdText.artist = CleanText(titles.performer);
    m_cdText.source = ReleaseSource::CdText;
    for (const TrackTitles& track : titles.tracks)
        m_cdText.tracks << TrackInfo{CleanText(track.title), CleanText(track.performer), {}};
    m_cdTextCuts = CutLongTexts(m_cdText);
    txtCDArtist->setText(m_cdText.artist);
    txtCDAlbum->setText(m_cdText.title);
    const DWORD drive = m_drives.currentDrive();
    for (int t = 0; t < lTrackCount; ++t) {
        // A data track has no length to play or rip: no row, and nothing to report.
        const int length = m_services.cd.BASS_CD_GetTrackLength(drive, static_cast<DWORD>(t));
        if (length > 0)
            AddTrackRow(t, length, m_cdText.tracks.value(t).title);
    }
}

void TrackList::AddTrackRow(int track, int length, const QString& title) {
    lsTracks->addTopLevelItem(NewTrackRow(track, length, title));
}

QTreeWidgetItem* TrackList::NewTrackRow(int track, int length, const QString& title) const {
    const int seconds = static_cast<int>(std::nearbyint(length / kBytesPerSecond));
    auto* row = new QTreeWidgetItem(
        {QStringLiteral("Track ") + QStringLiteral("%1").arg(track + 1, 2, 10, QChar('0')),
         QStringLiteral("Audio"), Seconds2HMS(seconds), title});
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
    row->setCheckState(0, Qt::Unchecked);
    row->setData(0, Qt::UserRole, track);
    DescribeRow(row);
    return row;
}

void TrackList::DescribeRow(QTreeWidgetItem* row) {
    const QString ticked =
        row->checkState(0) == Qt::Checked ? QStringLiteral("ticked") : QStringLiteral("not ticked");
    QStringList parts{row->text(0), row->text(1), row->text(2)};
    if (row->data(0, kPreEmphasisRole).toBool())
        parts << QStringLiteral("pre-emphasis");
    if (!row->text(kTitleColumn).isEmpty())
        parts << row->text(kTitleColumn);
    const QString text = parts.join(QStringLiteral(", ")) + QStringLiteral(", ") + ticked;
    if (row->data(0, Qt::AccessibleTextRole).toString() != text)
        row->setData(0, Qt::AccessibleTextRole, text);
}

// Enter on a row plays it, as a double click does; Space ticks or unticks it, whichever of
// its cells has the focus; F2 edits its title.
bool TrackList::eventFilter(QObject* watched, QEvent* event) {
    // Keys a title's editor leaves (Enter, which ends the edit) are the editor's alone.
    if (watched != lsTracks || event->type() != QEvent::KeyPress || selectedRow() == 0 ||
        m_editingTitle)
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
    if (key == Qt::Key_F2) {
        EditTitle(lsTracks->currentItem());
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
    ShowDiscNames();
    lblNoTracks->setVisible(!hasRows);
}

bool TrackList::discChanged() const {
    const DWORD drive = m_drives.currentDrive();
    return drive != m_scanned.drive ||
           m_services.cd.BASS_CD_GetDiscChanges(drive) != m_scanned.changes;
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
        return kNoTrack;
    bool ok = false;
    const int track = item->data(0, Qt::UserRole).toInt(&ok);
    return ok ? track : kNoTrack;
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
