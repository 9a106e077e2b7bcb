#include "cd/tickablerowsaccessible.h"

#include "cd/tickablecellaccessible.h"

#include <QItemSelectionModel>
#include <QTreeView>

namespace {

QAccessibleInterface* TickableRowsFactory(const QString&, QObject* object) {
    auto* view = qobject_cast<QTreeView*>(object);
    if (view != nullptr && view->property(TickableRowsAccessible::kTickableRows).toBool())
        return new TickableRowsAccessible(view);
    return nullptr;
}

int LogicalIndex(const QTreeView* view, int row, int column) {
    return (row + 1) * view->model()->columnCount() + column; // the headings come first
}

// A tick changes a row's first cell, and a new description of the row (ticked, given a title)
// what that cell says: tell the screen reader.
void AnnounceChanges(QTreeView* view, const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles) {
    if (topLeft.column() != 0 || !QAccessible::isActive())
        return;
    const bool ticked = roles.isEmpty() || roles.contains(Qt::CheckStateRole);
    const bool renamed = roles.isEmpty() || roles.contains(Qt::AccessibleTextRole);
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        if (ticked) {
            QAccessible::State changed;
            changed.checked = true;
            QAccessibleStateChangeEvent event(view, changed);
            event.setChild(LogicalIndex(view, row, 0));
            QAccessible::updateAccessibility(&event);
        }
        if (renamed) {
            QAccessibleEvent event(view, QAccessible::NameChanged);
            event.setChild(LogicalIndex(view, row, 0));
            QAccessible::updateAccessibility(&event);
        }
    }
}

} // namespace

TickableRowsAccessible::TickableRowsAccessible(QTreeView* view)
    : QAccessibleWidget(view, QAccessible::Table) {
    QObject::connect(
        view->model(), &QAbstractItemModel::dataChanged, view,
        [view](const QModelIndex& topLeft, const QModelIndex& bottomRight,
               const QList<int>& roles) { AnnounceChanges(view, topLeft, bottomRight, roles); });
}

TickableRowsAccessible::~TickableRowsAccessible() {
    ForgetCells();
}

void TickableRowsAccessible::InstallFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(TickableRowsFactory);
        return true;
    }();
    (void)installed;
}

QTreeView* TickableRowsAccessible::view() const {
    return static_cast<QTreeView*>(widget());
}

void* TickableRowsAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

int TickableRowsAccessible::childCount() const {
    return (rowCount() + 1) * columnCount();
}

QAccessibleInterface* TickableRowsAccessible::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const auto known = m_cells.constFind(index); known != m_cells.cend())
        return QAccessible::accessibleInterface(*known);
    const int columns = columnCount();
    auto* cell = new TickableCellAccessible(view(), index / columns - 1, index % columns);
    m_cells.insert(index, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

int TickableRowsAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* cell =
        child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
    if (cell == nullptr || child->parent() != this)
        return -1;
    return LogicalIndex(view(), cell->rowIndex(), cell->columnIndex());
}

QAccessibleInterface* TickableRowsAccessible::childAt(int x, int y) const {
    const QPoint inViewport = view()->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex index = view()->indexAt(inViewport);
    return index.isValid() ? cellAt(index.row(), index.column()) : nullptr;
}

QAccessibleInterface* TickableRowsAccessible::focusChild() const {
    const QModelIndex current = view()->currentIndex();
    return view()->hasFocus() && current.isValid() ? cellAt(current.row(), 0) : nullptr;
}

QAccessibleInterface* TickableRowsAccessible::cellAt(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return nullptr;
    return child(LogicalIndex(view(), row, column));
}

int TickableRowsAccessible::selectedCellCount() const {
    return static_cast<int>(view()->selectionModel()->selectedIndexes().size());
}

QList<QAccessibleInterface*> TickableRowsAccessible::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    for (const QModelIndex& index : view()->selectionModel()->selectedIndexes())
        cells.append(cellAt(index.row(), index.column()));
    return cells;
}

QString TickableRowsAccessible::columnDescription(int column) const {
    return view()->model()->headerData(column, Qt::Horizontal).toString();
}

int TickableRowsAccessible::columnCount() const {
    return view()->model()->columnCount();
}

int TickableRowsAccessible::rowCount() const {
    return view()->model()->rowCount();
}

QList<int> TickableRowsAccessible::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : view()->selectionModel()->selectedRows())
        rows.append(index.row());
    return rows;
}

bool TickableRowsAccessible::isRowSelected(int row) const {
    return view()->selectionModel()->isRowSelected(row, {});
}

bool TickableRowsAccessible::selectRow(int row) {
    const QModelIndex index = view()->model()->index(row, 0);
    if (!index.isValid())
        return false;
    view()->setCurrentIndex(index);
    return true;
}

bool TickableRowsAccessible::unselectRow(int row) {
    const QModelIndex index = view()->model()->index(row, 0);
    if (!index.isValid())
        return false;
    view()->selectionModel()->select(index,
                                     QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    return true;
}

// Rows come and go with each disc: cells are numbered by position, so any change but a
// change of data makes them new.
void TickableRowsAccessible::modelChange(QAccessibleTableModelChangeEvent* event) {
    if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged)
        ForgetCells();
}

void TickableRowsAccessible::ForgetCells() const {
    for (const QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
    m_cells.clear();
}
