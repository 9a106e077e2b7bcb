#pragma once

// The box in which the user picks the release a disc is, when the databases know several
// editions for one disc id, or only guesses by its track lengths: one row per release with what
// tells them apart, and whether it matched the disc's id or is a guess. With covers, the Cover Art
// Archive's thumbnail of each MusicBrainz release comes in beside it, one after the other while
// the box is open; the box never waits for them.

#include "metadata/releaseinfo.h"

#include <QDialog>

class CoverArtFetch;
class QTableWidget;
struct CoverAnswer;

class ReleaseChooser : public QDialog {
    Q_OBJECT
public:
    ReleaseChooser(const QList<ReleaseInfo>& releases, QWidget* owner, bool covers = false);

    // The position of the release picked (OK or a double click), or -1 for none (Cancel).
    int chosen() const;

    // Opens the box modal over owner and returns what was picked.
    static int Choose(QWidget* owner, const QList<ReleaseInfo>& releases, bool covers = false);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillTable(const QList<ReleaseInfo>& releases);
    void FetchNextCover();
    void ShowCover(const CoverAnswer& answer);

    QTableWidget* m_table = nullptr;
    CoverArtFetch* m_covers = nullptr;              // none without covers
    QList<std::pair<int, QString>> m_coversToFetch; // row and release id
    int m_coverRow = -1;                            // the row whose thumbnail is on its way
};
