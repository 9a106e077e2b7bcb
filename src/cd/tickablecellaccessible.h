#pragma once

// One cell of a list whose rows can be ticked, as a screen reader meets it. The first
// cell of a row is the tick box: it says that it can be ticked and whether it is, and
// its "Toggle" action ticks or unticks the row. Row -1 stands for the column headings.

#include <QAccessible>
#include <QPersistentModelIndex>
#include <QPointer>

class QTreeView;

class TickableCellAccessible : public QAccessibleInterface,
                               public QAccessibleTableCellInterface,
                               public QAccessibleActionInterface {
public:
    TickableCellAccessible(QTreeView* view, int row, int column);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    QStringList actionNames() const override;
    QString localizedActionDescription(const QString& name) const override;
    void doAction(const QString& name) override;
    QStringList keyBindingsForAction(const QString& name) const override;

private:
    bool isHeading() const { return m_row < 0; }
    bool isTickBox() const;

    QPointer<QTreeView> m_view;
    QPersistentModelIndex m_index; // invalid for a heading
    int m_row;
    int m_column;
};
