#pragma once

// The disc scan and the track list: one row per audio track of the disc in the
// current drive, the disc's performer and title, and the transport flags of the skin
// that follow whether there is anything to play.

#include "common/audiolibrary.h"

#include <QList>
#include <QObject>
#include <QString>

#include <vector>

class Dialogs;
class DriveInfo;
class Flash;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

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
    // shows, so a track whose length could not be read never shifts the others.
    int rowCount() const;
    int selectedRow() const;
    int trackOfRow(int row) const; // -1 when there is no such row
    void selectRow(int row);
    // The tracks of the ticked rows, in list order.
    std::vector<int> tickedTracks() const;

    // The list control itself, for the window's skin and layout.
    QFrame* listControl() const;

    // Failures already reported belong to the disc that was in the drive.
    void forgetReports() { m_reportedScanFailures.clear(); }

signals:
    // A row was double-clicked or Enter pressed on it: the user wants it played.
    void rowActivated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls(QGroupBox* panel);
    void AddTrackRow(int track, int length);
    // What a screen reader says for a row: its track, type, duration and whether it is ticked.
    static void DescribeRow(QTreeWidgetItem* row);
    void ShowTrackListState();
    // True the first time a failure (key) shows up on the disc in the drive.
    bool IsNewScanFailure(const QString& key);

    Services m_services;
    const DriveInfo& m_drives;
    QTreeWidget* lsTracks = nullptr;
    QLineEdit* txtCDArtist = nullptr;
    QLineEdit* txtCDAlbum = nullptr;
    QLabel* lblNoTracks = nullptr;
    // A scan is running; its report box may be open while the playback timer ticks.
    bool m_scanning = false;
    QList<QString> m_reportedScanFailures;
};
