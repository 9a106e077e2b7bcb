#include "cd/tickablecellaccessible.h"

#include <QHeaderView>
#include <QTreeView>

TickableCellAccessible::TickableCellAccessible(QTreeView* view, int row, int column)
    : m_view(view), m_row(row), m_column(column) {
    if (row >= 0)
        m_index = view->model()->index(row, column);
}

bool TickableCellAccessible::isValid() const {
    if (!m_view)
        return false;
    return isHeading() ? m_column < m_view->model()->columnCount() : m_index.isValid();
}

QAccessibleInterface* TickableCellAccessible::parent() const {
    return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
}

bool TickableCellAccessible::isTickBox() const {
    // Only the cell that shows the tick: the row's other cells share its flags.
    return !isHeading() && (m_index.flags() & Qt::ItemIsUserCheckable) &&
           m_index.data(Qt::CheckStateRole).isValid();
}

QString TickableCellAccessible::text(QAccessible::Text t) const {
    if (!isValid())
        return {};
    if (isHeading())
        return t == QAccessible::Name
                   ? m_view->model()->headerData(m_column, Qt::Horizontal).toString()
                   : QString();
    if (t == QAccessible::Name) {
        const QVariant spoken = m_index.data(Qt::AccessibleTextRole);
        return spoken.isValid() ? spoken.toString() : m_index.data().toString();
    }
    if (t == QAccessible::Description && isTickBox())
        return QStringLiteral(
            "Space ticks or unticks the track for ripping; Enter plays it; F2 edits its title");
    return {};
}

QRect TickableCellAccessible::rect() const {
    if (!isValid())
        return {};
    if (isHeading()) {
        const QHeaderView* header = m_view->header();
        const QRect section(header->sectionViewportPosition(m_column), 0,
                            header->sectionSize(m_column), header->height());
        return section.translated(header->viewport()->mapToGlobal(QPoint(0, 0)));
    }
    return m_view->visualRect(m_index).translated(m_view->viewport()->mapToGlobal(QPoint(0, 0)));
}

// The tick cell is a check box to a screen reader: the bus of this Qt version passes a
// cell's tick on, but not that it can be ticked, so a cell would never say "not checked".
QAccessible::Role TickableCellAccessible::role() const {
    if (isHeading())
        return QAccessible::ColumnHeader;
    return isTickBox() ? QAccessible::CheckBox : QAccessible::Cell;
}

QAccessible::State TickableCellAccessible::state() const {
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    s.invisible = !m_view->isVisible();
    if (isHeading())
        return s;
    s.selectable = true;
    s.selected = isSelected();
    s.focusable = true;
    s.focused = m_view->hasFocus() && m_view->currentIndex().row() == m_row;
    if (isTickBox()) {
        s.checkable = true;
        s.checked = m_index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }
    return s;
}

void* TickableCellAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

bool TickableCellAccessible::isSelected() const {
    return !isHeading() && isValid() && m_view->selectionModel()->isSelected(m_index);
}

QList<QAccessibleInterface*> TickableCellAccessible::columnHeaderCells() const {
    QAccessibleInterface* list = parent();
    if (list == nullptr || isHeading())
        return {};
    return {list->child(m_column)}; // the headings are the list's first children
}

QStringList TickableCellAccessible::actionNames() const {
    return isTickBox() ? QStringList{toggleAction()} : QStringList{};
}

QString TickableCellAccessible::localizedActionDescription(const QString& name) const {
    if (name == toggleAction())
        return QStringLiteral("Ticks or unticks the track for ripping");
    return QAccessibleActionInterface::localizedActionDescription(name);
}

void TickableCellAccessible::doAction(const QString& name) {
    if (name != toggleAction() || !isTickBox())
        return;
    const bool ticked = m_index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    m_view->model()->setData(m_index, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

QStringList TickableCellAccessible::keyBindingsForAction(const QString& name) const {
    return name == toggleAction() && isTickBox() ? QStringList{QStringLiteral("Space")}
                                                 : QStringList{};
}
