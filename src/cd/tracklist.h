#pragma once

// The disc scan and the track list: one row per audio track of the disc in the
// current drive with its title, the disc's performer and title, and the transport flags of
// the skin that follow whether there is anything to play. The titles come from the disc's
// CD-TEXT at once, then from the online databases when their answer arrives; the user may
// edit them all.

#include "common/audiolibrary.h"
#include "common/discsubcode.h"
#include "metadata/disctags.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <climits>
#include <functional>
#include <optional>
#include <vector>

class Dialogs;
class DriveInfo;
class Flash;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTimer;
class QTreeWidgetItem;
class TitleLookup;

class TrackList : public QObject {
    Q_OBJECT
public:
    struct Services {
        BassCore& core;
        BassCd& cd;
        Dialogs& dialogs;
        Flash& movie;
    };
    TrackList(const Services& services, const DriveInfo& drives, QGroupBox* panel,
              QObject* parent = nullptr);

    void LoadTrackList();
    void LoadTrackListFromCDText(const char* lngTagPtr, int lTrackCount);

    // Rows count from 1; 0 stands for no row. A row carries the 0-based library track it
    // shows, so a track whose length could not be read never shifts the others. The hidden
    // track's row, "Track 00" above the others, carries kHiddenTrack.
    static constexpr int kHiddenTrack = int(BASS_CD_TRACK_HIDDEN);
    static constexpr int kNoTrack = INT_MIN;
    int rowCount() const;
    int selectedRow() const;
    int trackOfRow(int row) const; // kNoTrack when there is no such row
    void selectRow(int row);
    // The tracks of the ticked rows, in list order.
    std::vector<int> tickedTracks() const;

    // The list control itself, for the window's skin and layout.
    QFrame* listControl() const;

    // Failures already reported belong to the disc that was in the drive.
    void forgetReports() { m_reportedScanFailures.clear(); }

    // Whether the disc in the drive may have changed since the list was made, whatever
    // changed it (the window's timer asks, and scans again).
    bool discChanged() const;
    // The drive and its disc-change count when the list was made. What was read under this
    // list's titles is the disc listed only while
    // BASS_CD_DiscChangedSince(disc.drive, disc.changes) is false (any thread).
    struct ScannedDisc {
        DWORD drive = 0;
        DWORD changes = 0;
    };
    ScannedDisc scannedDisc() const { return m_scanned; }

    // What a rip names and tags its files with: the release shown (the one chosen, else the
    // disc's CD-TEXT, else source None) with the titles, artist and album as the list and the
    // boxes hold them now, the disc's ids, and where the titles came from.
    DiscTags discTags() const;
    // While a rip runs, an answer of the online lookup waits (and the release chooser with it)
    // until the rip is over.
    void holdLookups(bool held);

    // The disc's index points, ISRCs, flags and catalog number, once the library has read them,
    // a moment after the scan (a real drive takes a while); nothing before, or when the drive
    // cannot tell. With them come the hidden track's row and the marks of pre-emphasis.
    const std::optional<DiscSubcode>& discSubcode() const { return m_subcode; }

    // Asked once a scan is done: whether the disc is looked up in the online databases.
    void setLookUpOnline(std::function<bool()> wanted);
    // How the user picks one of several releases: the position, or -1 for none. The real box
    // unless replaced (a test answers without a modal window).
    using ReleaseChoice = std::function<int(QWidget* owner, const QList<ReleaseInfo>& releases)>;
    void setReleaseChoice(ReleaseChoice choose);

signals:
    // A row was double-clicked or Enter pressed on it: the user wants it played.
    void rowActivated();
    // A scan listed the disc the cache knows by discKey; empty text when the list was emptied.
    void discListed(const QString& discKey);
    // The lookup settled on this release (source None when on none).
    void releaseSettled(const ReleaseInfo& release);
    // The disc's subcode was read and shown.
    void subcodeShown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls(QGroupBox* panel);
    void AddTrackRow(int track, int length, const QString& title = {});
    QTreeWidgetItem* NewTrackRow(int track, int length, const QString& title) const;
    // Asks the library for the disc's subcode, again a little later while it is being read.
    void AskSubcode();
    void ShowSubcode();
    void AddHiddenTrackRow();
    void MarkPreEmphasis();
    // The disc's ids and the online lookup, once its rows are listed.
    void LookUpDisc();
    void OnReleaseSettled(const ReleaseInfo& release, const QStringList& steps);
    void ShowRelease(const ReleaseInfo& release);
    void EditTitle(QTreeWidgetItem* row);
    // The face's display band names the disc the boxes name.
    void ShowDiscNames();
    // "MusicBrainz", "CD-TEXT, typed", "typed": where what the boxes and Title cells show came
    // from; empty when they show nothing.
    QString TitlesFrom() const;
    void ShowTitlesFrom();
    // What a screen reader says for a row: its track, type, duration, title and whether it is
    // ticked.
    static void DescribeRow(QTreeWidgetItem* row);
    void ShowTrackListState();
    // True the first time a failure (key) shows up on the disc in the drive.
    bool IsNewScanFailure(const QString& key);

    static constexpr int kTitleColumn = 3;
    static constexpr int kTypeColumn = 1;
    // Item data of a row whose track was mastered with pre-emphasis.
    static constexpr int kPreEmphasisRole = Qt::UserRole + 1;
    static inline const QString kHiddenTrackTitle = QStringLiteral("Hidden track");
    // What the boxes say of a disc that names neither.
    static inline const QString kUnknownArtist = QStringLiteral("Unknown Artist");
    static inline const QString kUnknownAlbum = QStringLiteral("Unknown Album");

    Services m_services;
    const DriveInfo& m_drives;
    QTreeWidget* lsTracks = nullptr;
    QLineEdit* txtCDArtist = nullptr;
    QLineEdit* txtCDAlbum = nullptr;
    QLabel* lblNoTracks = nullptr;
    QLabel* lblTitlesFrom = nullptr;
    // A scan is running; its report box may be open while the playback timer ticks.
    bool m_scanning = false;
    ScannedDisc m_scanned;
    QList<QString> m_reportedScanFailures;
    bool m_editingTitle = false; // a Title cell's editor is open
    QSet<int> m_editedTitles;    // rows whose title the user typed since the scan
    TitleLookup* m_titles = nullptr;
    std::function<bool()> m_lookUpOnline;
    ReleaseInfo m_cdText;     // the disc's own titles; source None when it has none
    QStringList m_cdTextCuts; // the rip log's lines on CD-TEXT cut to its longest
    DiscTags m_disc;          // the release shown, the disc's ids, what the lookup did
    QTimer* m_subcodePoll = nullptr;
    std::optional<DiscSubcode> m_subcode;
};
