// The track list's titles: the disc's ids and online lookup after a scan, the release the user
// settled on shown in the boxes and the Title cells, editing a title, and what a rip is told.

#include "cd/tracklist.h"

#include "cd/driveinfo.h"
#include "cd/titlelookup.h"
#include "common/flash.h"
#include "verify/discids.h"

#include <QLabel>
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
    const DiscQuery query = QueryOfDisc(toc);
    emit discListed(DiscCacheKey(query));
    m_titles->start(query);
}

void TrackList::OnReleaseSettled(const ReleaseInfo& release, const QStringList& steps) {
    m_disc.lookupSteps = steps;
    if (release.source != ReleaseSource::None)
        ShowRelease(release);
    // Otherwise the scan's CD-TEXT titles, or nothing, stay.
    emit releaseSettled(release);
}

void TrackList::holdLookups(bool held) {
    m_titles->setHeld(held);
}

// What the user typed while the answer was on its way stays.
void TrackList::ShowRelease(const ReleaseInfo& release) {
    m_disc.release = release;
    if (!txtCDArtist->isModified())
        txtCDArtist->setText(release.artist);
    if (!txtCDAlbum->isModified())
        txtCDAlbum->setText(release.title);
    for (int row = 1; row <= rowCount(); ++row)
        if (!m_editedTitles.contains(row - 1) && trackOfRow(row) != kHiddenTrack)
            lsTracks->topLevelItem(row - 1)->setText(kTitleColumn,
                                                     release.tracks.value(trackOfRow(row)).title);
    ShowDiscNames();
    ShowTitlesFrom();
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

// A field shown as the release gives it came from the release; one that differs was typed.
QString TrackList::TitlesFrom() const {
    const ReleaseInfo& release = m_disc.release;
    bool fromRelease = false;
    bool typed = false;
    const auto compare = [&](const QString& shown, const QString& given) {
        typed = typed || shown != given;
        fromRelease = fromRelease || (!shown.isEmpty() && shown == given);
    };
    compare(BoxText(txtCDArtist, kUnknownArtist), release.artist);
    compare(BoxText(txtCDAlbum, kUnknownAlbum), release.title);
    for (int row = 1; row <= rowCount(); ++row) {
        const QString shown = lsTracks->topLevelItem(row - 1)->text(kTitleColumn);
        if (trackOfRow(row) == kHiddenTrack) // no database names it
            typed = typed || shown != kHiddenTrackTitle;
        else
            compare(shown, release.tracks.value(trackOfRow(row)).title);
    }
    QStringList sources;
    if (fromRelease)
        sources << SourceName(release.source) +
                       (release.guess ? QStringLiteral(" (a guess you chose)") : QString());
    if (typed)
        sources << QStringLiteral("typed");
    return sources.join(QStringLiteral(", "));
}

void TrackList::ShowTitlesFrom() {
    const QString from = rowCount() > 0 ? TitlesFrom() : QString();
    lblTitlesFrom->setText(from.isEmpty() ? QStringLiteral("Titles: none known")
                                          : QStringLiteral("Titles from: ") + from);
}

// Every field as the window shows it: a track artist that only repeated the release's artist
// follows the Artist box, so a typed artist is never mixed with the one it replaced.
DiscTags TrackList::discTags() const {
    DiscTags tags = m_disc;
    ReleaseInfo& release = tags.release;
    const QString givenArtist = release.artist;
    release.artist = BoxText(txtCDArtist, kUnknownArtist);
    release.title = BoxText(txtCDAlbum, kUnknownAlbum);
    for (TrackInfo& track : release.tracks) {
        if (!track.artist.isEmpty() && track.artist == givenArtist)
            track.artist = release.artist;
    }
    for (int row = 1; row <= rowCount(); ++row) {
        const int track = trackOfRow(row);
        const QString title = lsTracks->topLevelItem(row - 1)->text(kTitleColumn);
        if (track == kHiddenTrack) {
            tags.hiddenTrackTitle = title;
            continue;
        }
        if (release.tracks.size() <= track)
            release.tracks.resize(track + 1);
        release.tracks[track].title = title;
    }
    if (m_subcode) {
        tags.mcn = m_subcode->mcn;
        for (const DiscSubcode::Track& track : m_subcode->tracks)
            tags.isrcs << track.isrc;
    }
    tags.titlesFrom = TitlesFrom();
    if (m_titles->pending()) {
        tags.lookupPending = true;
        tags.lookupSteps = {QStringLiteral("online lookup: no answer when the rip started; the "
                                           "files are named from the titles known then")};
    }
    if (release.source == ReleaseSource::CdText)
        tags.lookupSteps << m_cdTextCuts;
    tags.lookupSteps << QStringLiteral("titles: ") + (tags.titlesFrom.isEmpty()
                                                          ? QStringLiteral("none found")
                                                          : tags.titlesFrom);
    return tags;
}
