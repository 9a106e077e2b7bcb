#include "cd/releasechooser.h"

#include "metadata/coverartfetch.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kThumbnail = 64; // pixels, in the Cover column

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

ReleaseChooser::ReleaseChooser(const QList<ReleaseInfo>& releases, QWidget* owner, bool covers)
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
    if (covers) {
        m_covers = new CoverArtFetch(this);
        connect(m_covers, &CoverArtFetch::finished, this, &ReleaseChooser::ShowCover);
        m_table->setIconSize(QSize(kThumbnail, kThumbnail));
        m_table->verticalHeader()->setDefaultSectionSize(kThumbnail + 4);
    }
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
    const int first = m_covers ? 1 : 0; // the Cover column comes first
    m_table->setColumnCount(static_cast<int>(headings.size()) + first);
    m_table->setHorizontalHeaderLabels(m_covers ? QStringList{QStringLiteral("Cover")} + headings
                                                : headings);
    m_table->setRowCount(static_cast<int>(releases.size()));
    for (int row = 0; row < releases.size(); ++row) {
        const QStringList cells = Cells(releases[row]);
        for (int column = 0; column < cells.size(); ++column)
            m_table->setItem(row, column + first, new QTableWidgetItem(cells[column]));
        if (!m_covers)
            continue;
        auto* cover = new QTableWidgetItem;
        cover->setData(Qt::AccessibleTextRole, QStringLiteral("no cover"));
        m_table->setItem(row, 0, cover);
        if (releases[row].source == ReleaseSource::MusicBrainz &&
            !releases[row].releaseId.isEmpty())
            m_coversToFetch.append({row, releases[row].releaseId});
    }
    m_table->resizeColumnsToContents();
    if (m_covers)
        m_table->setColumnWidth(0, kThumbnail + 8);
    m_table->selectRow(0);
}

// The thumbnails are asked for once the box is seen, one at a time.
void ReleaseChooser::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_covers && !m_covers->busy())
        FetchNextCover();
}

void ReleaseChooser::FetchNextCover() {
    if (m_coversToFetch.isEmpty())
        return;
    const auto [row, releaseId] = m_coversToFetch.takeFirst();
    m_coverRow = row;
    m_covers->fetch(releaseId, CoverSize::Thumbnail);
}

void ReleaseChooser::ShowCover(const CoverAnswer& answer) {
    if (answer.cover) {
        QTableWidgetItem* cell = m_table->item(m_coverRow, 0);
        cell->setIcon(QPixmap::fromImage(answer.cover->image.scaled(
            kThumbnail, kThumbnail, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        cell->setData(Qt::AccessibleTextRole, QStringLiteral("front cover"));
    }
    FetchNextCover();
}

int ReleaseChooser::chosen() const {
    return result() == QDialog::Accepted ? m_table->currentRow() : -1;
}

int ReleaseChooser::Choose(QWidget* owner, const QList<ReleaseInfo>& releases, bool covers) {
    const QPointer<ReleaseChooser> chooser = new ReleaseChooser(releases, owner, covers);
    chooser->exec();
    if (!chooser)
        return -1; // the window went, and the box with it
    const int chosen = chooser->chosen();
    delete chooser;
    return chosen;
}
