#pragma once

// The cover of the disc in the drive: from the cache when the disc was seen before, else from the
// Cover Art Archive once the lookup has settled on a MusicBrainz release, or an image file the
// user drops on the window's centre or chooses with "Cover…" on the Tracks panel (remembered for
// that disc). The face shows it instead of its logo while that disc is in the drive; a rip
// embeds it and saves it beside the files. Nothing here waits: the network and the decoding of
// images run in the background, and an answer about a disc that has left is dropped.

#include "metadata/covercache.h"
#include "metadata/covercheck.h"

#include <QObject>
#include <QStringList>

#include <optional>

class CoverArtFetch;
class Dialogs;
class Flash;
class QGroupBox;
class QLabel;
class QPushButton;
struct CoverAnswer;
struct DiscTags;
struct ReleaseInfo;

class DiscCover : public QObject {
    Q_OBJECT
public:
    struct Services {
        Dialogs& dialogs;
        Flash& movie;
    };
    DiscCover(const Services& services, QGroupBox* tracksPanel, QObject* parent = nullptr);

    // The disc a scan listed, by the name the cache knows it under; empty when there is none.
    void discListed(const QString& discKey);
    // The release the lookup settled on; only a MusicBrainz release has an archive cover.
    void releaseSettled(const ReleaseInfo& release);
    // The "Cover art" option: off, no cover is fetched, shown or taken.
    void setEnabled(bool enabled);
    // An image file as the disc's cover; empty path: a dropped file that is not on this computer.
    void useFile(const QString& path);
    void cmdCover_Click();

    // The cover a rip embeds and saves, and the rip log's line on it.
    void addTo(DiscTags& tags) const;

private:
    void ReadCache();
    void TakeCached(const std::optional<StoredCover>& stored, const CoverCheck& check);
    void FetchIfWanted();
    void Fetched(const CoverAnswer& answer);
    void UserFileChecked(const QString& path, const CoverCheck& check);
    void Show(const std::optional<CheckedCover>& cover, CoverOrigin origin, const QString& note);
    void ShowState();
    void Refuse(const QString& text);

    Services m_services;
    QPushButton* cmdCover = nullptr;
    QLabel* lblCover = nullptr;
    CoverArtFetch* m_fetch = nullptr;
    bool m_enabled = true;
    QString m_key;       // the disc in the drive
    QString m_releaseId; // its settled MusicBrainz release
    bool m_cacheRead = false;
    int m_serial = 0; // which disc a background answer belongs to
    std::optional<CheckedCover> m_cover;
    CoverOrigin m_origin = CoverOrigin::Archive;
    QString m_coverRelease;
    QString m_note;         // where the cover came from, or why there is none
    bool m_inMovie = false; // the face shows a cover
};
