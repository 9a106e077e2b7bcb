#include "cd/releasechooser.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QStringList Cells(const ReleaseInfo& release) {
    return {release.title,
            release.artist,
            release.year > 0 ? QString::number(release.year) : QString(),
            release.country,
            release.label,
            release.catalogNumber,
            release.barcode,
            QString::number(release.trackCount()),
            SourceName(release.source),
            release.guess ? QStringLiteral("guess") : QStringLiteral("exact")};
}

// Guesses come from a search by track lengths alone: the user is told they may be wrong.
QString Hint(const QList<ReleaseInfo>& releases) {
    const bool guesses = std::any_of(releases.cbegin(), releases.cend(),
                                     [](const ReleaseInfo& release) { return release.guess; });
    return guesses ? QStringLiteral("No release is known by this disc's id. These were found by "
                                    "its track lengths only and may be another disc (guesses). "
                                    "Choose the one you have, or Cancel to keep the disc's own "
                                    "titles:")
                   : QStringLiteral("Several releases match this disc. Choose the one you have:");
}

} // namespace

ReleaseChooser::ReleaseChooser(const QList<ReleaseInfo>& releases, QWidget* owner)
    : QDialog(owner) {
    setObjectName(QStringLiteral("ReleaseChooser"));
    setWindowTitle(QStringLiteral("Choose the release"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(Hint(releases), this);
    hint->setObjectName(QStringLiteral("lblChooseHint"));
    hint->setWordWrap(true);
    layout->addWidget(hint);

    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("tblReleases"));
    m_table->setAccessibleName(hint->text());
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    hint->setBuddy(m_table);
    FillTable(releases);
    layout->addWidget(m_table, 1);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)
        ->setAccessibleDescription(QStringLiteral("Names the disc after the selected release"));
    buttons->button(QDialogButtonBox::Cancel)
        ->setAccessibleDescription(QStringLiteral("Keeps the disc's own titles"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(760, 300);
}

void ReleaseChooser::FillTable(const QList<ReleaseInfo>& releases) {
    const QStringList headings{QStringLiteral("Title"),   QStringLiteral("Artist"),
                               QStringLiteral("Year"),    QStringLiteral("Country"),
                               QStringLiteral("Label"),   QStringLiteral("Catalog number"),
                               QStringLiteral("Barcode"), QStringLiteral("Tracks"),
                               QStringLiteral("Source"),  QStringLiteral("Match")};
    m_table->setColumnCount(static_cast<int>(headings.size()));
    m_table->setHorizontalHeaderLabels(headings);
    m_table->setRowCount(static_cast<int>(releases.size()));
    for (int row = 0; row < releases.size(); ++row) {
        const QStringList cells = Cells(releases[row]);
        for (int column = 0; column < cells.size(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    m_table->resizeColumnsToContents();
    m_table->selectRow(0);
}

int ReleaseChooser::chosen() const {
    return result() == QDialog::Accepted ? m_table->currentRow() : -1;
}

int ReleaseChooser::Choose(QWidget* owner, const QList<ReleaseInfo>& releases) {
    const QPointer<ReleaseChooser> chooser = new ReleaseChooser(releases, owner);
    chooser->exec();
    if (!chooser)
        return -1; // the window went, and the box with it
    const int chosen = chooser->chosen();
    delete chooser;
    return chosen;
}
