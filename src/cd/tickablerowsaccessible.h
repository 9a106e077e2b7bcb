#pragma once

// A list of rows that can be ticked (the track list), as a screen reader meets it: a
// table whose cells say whether their row is ticked and can tick it. Qt's own item-view
// cells report a tick but neither that they can be ticked nor an action that ticks.
//
// The children are laid out as the view numbers them in its own accessibility events:
// the column headings first, then the cells row by row.

#include <QAccessibleWidget>
#include <QHash>

class QTreeView;

class TickableRowsAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TickableRowsAccessible(QTreeView* view);
    ~TickableRowsAccessible() override;

    // Gives every view that carries the property kTickableRows this interface.
    static void InstallFactory();
    static constexpr const char* kTickableRows = "mivoTickableRows";

    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; }
    bool unselectRow(int row) override;
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

private:
    QTreeView* view() const;
    void ForgetCells() const;

    mutable QHash<int, QAccessible::Id> m_cells;
};
