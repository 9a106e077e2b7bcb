// The track list's titles: the disc's ids and online lookup after a scan, the release the user
// settled on shown in the boxes and the Title cells, editing a title, and what a rip is told.

#include "cd/tracklist.h"

#include "cd/driveinfo.h"
#include "cd/titlelookup.h"
#include "common/flash.h"
#include "verify/discids.h"

#include <QLineEdit>
#include <QTreeWidget>

namespace {

// What a box names, or nothing while it shows the scan's stand-in for an unknown disc.
QString BoxText(const QLineEdit* box, const QString& standIn) {
    return box->text() == standIn ? QString() : box->text();
}

} // namespace

void TrackList::setLookUpOnline(std::function<bool()> wanted) {
    m_lookUpOnline = std::move(wanted);
}

void TrackList::setReleaseChoice(ReleaseChoice choose) {
    m_titles->setChoice([this, choose = std::move(choose)](const QList<ReleaseInfo>& releases) {
        return choose(lsTracks->window(), releases);
    });
}

void TrackList::LookUpDisc() {
    m_disc.release = m_cdText;
    DiscToc toc;
    if (!m_services.cd.BASS_CD_GetTOC(m_drives.currentDrive(), &toc) || toc.tracks.isEmpty()) {
        m_disc.lookupSteps = {QStringLiteral("online lookup: no table of contents")};
        return;
    }
    m_disc.musicBrainzDiscId = MusicBrainzDiscId(toc);
    m_disc.freedbId = FreedbIdText(toc);
    m_disc.lookupSteps = {QStringLiteral("online lookup: no answer yet")};
    m_titles->start(QueryOfDisc(toc));
}

void TrackList::OnReleaseSettled(const ReleaseInfo& release, const QStringList& steps) {
    m_disc.lookupSteps = steps;
    if (release.source != ReleaseSource::None)
        ShowRelease(release);
    // Otherwise the scan's CD-TEXT titles, or nothing, stay.
}

// What the user typed while the answer was on its way stays.
void TrackList::ShowRelease(const ReleaseInfo& release) {
    m_disc.release = release;
    if (!txtCDArtist->isModified())
        txtCDArtist->setText(release.artist);
    if (!txtCDAlbum->isModified())
        txtCDAlbum->setText(release.title);
    for (int row = 1; row <= rowCount(); ++row)
        if (!m_editedTitles.contains(row - 1))
            lsTracks->topLevelItem(row - 1)->setText(kTitleColumn,
                                                     release.tracks.value(trackOfRow(row)).title);
    ShowDiscNames();
}

void TrackList::EditTitle(QTreeWidgetItem* row) {
    if (row == nullptr)
        return;
    m_editingTitle = true;
    lsTracks->editItem(row, kTitleColumn);
}

void TrackList::ShowDiscNames() {
    const bool hasRows = rowCount() > 0;
    m_services.movie.SetVariable(QStringLiteral("_root.DiscTitle"),
                                 hasRows ? txtCDAlbum->text() : QString());
    m_services.movie.SetVariable(QStringLiteral("_root.DiscPerformer"),
                                 hasRows ? txtCDArtist->text() : QString());
}

DiscTags TrackList::discTags() const {
    DiscTags tags = m_disc;
    ReleaseInfo& release = tags.release;
    release.artist = BoxText(txtCDArtist, kUnknownArtist);
    release.title = BoxText(txtCDAlbum, kUnknownAlbum);
    for (int row = 1; row <= rowCount(); ++row) {
        const int track = trackOfRow(row);
        if (release.tracks.size() <= track)
            release.tracks.resize(track + 1);
        release.tracks[track].title = lsTracks->topLevelItem(row - 1)->text(kTitleColumn);
    }
    if (release.source == ReleaseSource::CdText)
        tags.lookupSteps << m_cdTextCuts;
    const bool known = release.source != ReleaseSource::None;
    tags.lookupSteps << QStringLiteral("titles: ") +
                            (known ? SourceName(release.source) : QStringLiteral("none found"));
    return tags;
}
