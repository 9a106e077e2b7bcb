// The track list's share of the disc's subcode, which the library reads a moment after the scan:
// the hidden track's row above track 1, and a mark on each track mastered with pre-emphasis.

#include "cd/tracklist.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QTreeWidget>

namespace {

// A treble shelf: low on the left, rising to high on the right, as pre-emphasis boosts treble.
QIcon PreEmphasisIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x2a, 0x6f, 0xb0), 2));
    painter.drawPolyline(QPolygonF({{1, 12}, {6, 12}, {10, 4}, {15, 4}}));
    return QIcon(pixmap);
}

} // namespace

void TrackList::AskSubcode() {
    DiscSubcode subcode;
    const DWORD drive = m_scanned.drive;
    if (m_services.cd.BASS_CD_GetSubcode(drive, &subcode, 0)) {
        m_subcodePoll->stop();
        // Another disc's answer: the window's timer scans the new disc, which asks again.
        if (m_services.cd.BASS_CD_DiscChangedSince(drive, m_scanned.changes))
            return;
        m_subcode = std::move(subcode);
        ShowSubcode();
    } else if (m_services.core.BASS_ErrorGetCode() == BASS_ERROR_BUSY) {
        m_subcodePoll->start();
    } else {
        m_subcodePoll->stop(); // the drive cannot tell: the list stays as it is
    }
}

void TrackList::ShowSubcode() {
    MarkPreEmphasis();
    if (m_subcode->hiddenAudio)
        AddHiddenTrackRow();
    emit subcodeShown();
}

void TrackList::MarkPreEmphasis() {
    const QIcon icon = PreEmphasisIcon();
    for (int row = 1; row <= rowCount(); ++row) {
        const int track = trackOfRow(row);
        if (track < 0 || !m_subcode->tracks.value(track).preEmphasis)
            continue;
        QTreeWidgetItem* item = lsTracks->topLevelItem(row - 1);
        item->setIcon(kTypeColumn, icon);
        item->setToolTip(kTypeColumn,
                         QStringLiteral("Pre-emphasis: the track's treble was boosted when it was "
                                        "mastered; players turn it down again"));
        item->setData(0, kPreEmphasisRole, true);
        DescribeRow(item);
    }
}

// The audio before track 1 is offered as track 0, above it; the rows the user gave a title
// keep it.
void TrackList::AddHiddenTrackRow() {
    const int length = m_services.cd.BASS_CD_GetTrackLength(m_scanned.drive, BASS_CD_TRACK_HIDDEN);
    if (length < 1)
        return;
    lsTracks->insertTopLevelItem(0, NewTrackRow(kHiddenTrack, length, kHiddenTrackTitle));
    QSet<int> edited;
    for (const int index : std::as_const(m_editedTitles))
        edited.insert(index + 1);
    m_editedTitles = edited;
    ShowTitlesFrom();
}
