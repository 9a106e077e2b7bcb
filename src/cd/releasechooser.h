#pragma once

// The box in which the user picks the release a disc is, when the databases know several
// editions for one disc id, or only guesses by its track lengths: one row per release with what
// tells them apart, and whether it matched the disc's id or is a guess.

#include "metadata/releaseinfo.h"

#include <QDialog>

class QTableWidget;

class ReleaseChooser : public QDialog {
    Q_OBJECT
public:
    ReleaseChooser(const QList<ReleaseInfo>& releases, QWidget* owner);

    // The position of the release picked (OK or a double click), or -1 for none (Cancel).
    int chosen() const;

    // Opens the box modal over owner and returns what was picked.
    static int Choose(QWidget* owner, const QList<ReleaseInfo>& releases);

private:
    void FillTable(const QList<ReleaseInfo>& releases);

    QTableWidget* m_table = nullptr;
};
