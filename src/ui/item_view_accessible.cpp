#include "ui/item_view_accessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QHeaderView>
#include <QListView>
#include <QPointer>
#include <QTableView>
#include <algorithm>

namespace wardel::qt {

namespace {

class ViewAccessible;

// One cell, one column heading, or the stand-in a table hands out for a cell it does not have: never null,
// so whoever asks for a cell can always ask it further, and never valid, so a reader sees nothing there.
class ViewCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    enum class Kind { Cell, Heading, Stand_in };

    ViewCell(QAbstractItemView* view, Kind kind, int row, int column)
        : view_(view), kind_(kind), row_(row), column_(column) {}

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return table(); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return kind_ == Kind::Stand_in ? 0 : 1; }
    int rowExtent() const override { return kind_ == Kind::Stand_in ? 0 : 1; }
    QAccessibleInterface* table() const override {
        return view_ ? QAccessible::queryAccessibleInterface(view_.data()) : nullptr;
    }

private:
    QModelIndex modelIndex() const;

    QPointer<QAbstractItemView> view_;
    Kind kind_;
    int row_;
    int column_;
};

// A QTableView (with its column headings while they show) or a QListView (one column) as a table.
class ViewAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit ViewAccessible(QAbstractItemView* view)
        : QAccessibleWidget(view, qobject_cast<QTableView*>(view) ? QAccessible::Table : QAccessible::List) {}
    ~ViewAccessible() override {
        forgetCells();
        if (standIn_)
            QAccessible::deleteAccessibleInterface(standIn_);
    }

    QAbstractItemView* view() const { return static_cast<QAbstractItemView*>(widget()); }
    QHeaderView* heading() const {
        auto* table = qobject_cast<QTableView*>(view());
        return table && !table->horizontalHeader()->isHidden() ? table->horizontalHeader() : nullptr;
    }
    int headingRows() const { return heading() ? 1 : 0; }
    bool holds(int row, int column) const {
        return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
    }
    // The model column a view column shows: a list shows only its model column.
    int modelColumn(int column) const {
        auto* list = qobject_cast<QListView*>(view());
        return list ? list->modelColumn() : column;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override { return (rowCount() + headingRows()) * columnCount(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        const int columns = columnCount();
        const int row = index / columns - headingRows();
        return cached(index, row < 0 ? ViewCell::Kind::Heading : ViewCell::Kind::Cell, row, index % columns);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto found = std::find_if(cells_.cbegin(), cells_.cend(), [child](QAccessible::Id id) {
            return QAccessible::accessibleInterface(id) == child;
        });
        return found == cells_.cend() ? -1 : found.key();
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint at = view()->viewport()->mapFromGlobal(QPoint(x, y));
        const QModelIndex index = view()->indexAt(at);
        return index.isValid() ? cellAt(index.row(), index.column()) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const QModelIndex current = view()->currentIndex();
        return current.isValid() && holds(current.row(), current.column()) ? cellAt(current.row(), current.column())
                                                                           : nullptr;
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (!holds(row, column))
            return standIn();
        return child((row + headingRows()) * columnCount() + column);
    }
    QString columnDescription(int column) const override {
        if (!model() || column < 0 || column >= columnCount())
            return {};
        return model()->headerData(modelColumn(column), Qt::Horizontal).toString();
    }
    QString rowDescription(int row) const override {
        if (!model() || row < 0 || row >= rowCount())
            return {};
        return model()->headerData(row, Qt::Vertical).toString();
    }
    int columnCount() const override {
        if (!model())
            return 0;
        return qobject_cast<QListView*>(view()) ? 1 : model()->columnCount(view()->rootIndex());
    }
    int rowCount() const override { return model() ? model()->rowCount(view()->rootIndex()) : 0; }

    int selectedCellCount() const override { return int(selectedIndexes().size()); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        for (const QModelIndex& index : selectedIndexes())
            cells.append(cellAt(index.row(), index.column()));
        return cells;
    }
    int selectedColumnCount() const override { return int(selectedColumns().size()); }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    QList<int> selectedColumns() const override {
        QList<int> columns;
        for (int column = 0; column < columnCount(); ++column)
            if (isColumnSelected(column))
                columns.append(column);
        return columns;
    }
    QList<int> selectedRows() const override {
        QList<int> rows;
        for (int row = 0; row < rowCount(); ++row)
            if (isRowSelected(row))
                rows.append(row);
        return rows;
    }
    bool isColumnSelected(int column) const override {
        auto* selection = view()->selectionModel();
        return selection && column >= 0 && column < columnCount() && rowCount() > 0 &&
               selection->isColumnSelected(modelColumn(column), view()->rootIndex());
    }
    bool isRowSelected(int row) const override {
        auto* selection = view()->selectionModel();
        return selection && row >= 0 && row < rowCount() && selection->isRowSelected(row, view()->rootIndex());
    }
    // What is selected belongs to the view and the table behind it; a reader reads it and changes nothing.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    // Rows and columns come and go: the cells are numbered anew on the next question.
    void modelChange(QAccessibleTableModelChangeEvent*) override { forgetCells(); }

private:
    QAbstractItemModel* model() const { return view()->model(); }
    QModelIndexList selectedIndexes() const {
        auto* selection = view()->selectionModel();
        QModelIndexList held;
        if (!selection)
            return held;
        for (const QModelIndex& index : selection->selectedIndexes())
            if (index.parent() == view()->rootIndex() && holds(index.row(), index.column()))
                held.append(index);
        return held;
    }
    QAccessibleInterface* cached(int index, ViewCell::Kind kind, int row, int column) const {
        const auto known = cells_.constFind(index);
        if (known != cells_.cend())
            return QAccessible::accessibleInterface(*known);
        auto* cell = new ViewCell(view(), kind, row, column);
        cells_.insert(index, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }
    QAccessibleInterface* standIn() const {
        if (!standIn_)
            standIn_ = QAccessible::registerAccessibleInterface(new ViewCell(view(), ViewCell::Kind::Stand_in, -1, -1));
        return QAccessible::accessibleInterface(standIn_);
    }
    void forgetCells() {
        for (QAccessible::Id id : std::as_const(cells_))
            QAccessible::deleteAccessibleInterface(id);
        cells_.clear();
    }

    mutable QHash<int, QAccessible::Id> cells_; // by child number
    mutable QAccessible::Id standIn_ = 0;
};

ViewAccessible* tableOf(QAbstractItemView* view) {
    return view ? dynamic_cast<ViewAccessible*>(QAccessible::queryAccessibleInterface(view)) : nullptr;
}

bool ViewCell::isValid() const {
    const ViewAccessible* table = tableOf(view_.data());
    if (!table || kind_ == Kind::Stand_in)
        return false;
    return kind_ == Kind::Heading ? table->heading() && column_ < table->columnCount() : table->holds(row_, column_);
}

QModelIndex ViewCell::modelIndex() const {
    const ViewAccessible* table = tableOf(view_.data());
    if (kind_ != Kind::Cell || !table || !table->holds(row_, column_))
        return {};
    return view_->model()->index(row_, table->modelColumn(column_), view_->rootIndex());
}

QString ViewCell::text(QAccessible::Text t) const {
    if (t != QAccessible::Name || !isValid())
        return {};
    if (kind_ == Kind::Heading)
        return view_->model()->headerData(column_, Qt::Horizontal).toString();
    return modelIndex().data(Qt::DisplayRole).toString();
}

QRect ViewCell::rect() const {
    if (!isValid())
        return {};
    if (kind_ == Kind::Heading) {
        QHeaderView* heading = tableOf(view_.data())->heading();
        const QPoint topLeft = heading->mapToGlobal(QPoint(heading->sectionViewportPosition(column_), 0));
        return {topLeft, QSize(heading->sectionSize(column_), heading->height())};
    }
    const QRect cell = view_->visualRect(modelIndex());
    return {view_->viewport()->mapToGlobal(cell.topLeft()), cell.size()};
}

QAccessible::Role ViewCell::role() const {
    if (kind_ == Kind::Heading)
        return QAccessible::ColumnHeader;
    return qobject_cast<QListView*>(view_.data()) ? QAccessible::ListItem : QAccessible::Cell;
}

QAccessible::State ViewCell::state() const {
    QAccessible::State state;
    if (!isValid()) {
        state.invisible = true;
        return state;
    }
    state.disabled = !view_->isEnabled();
    if (kind_ == Kind::Cell) {
        state.selectable = true;
        state.selected = isSelected();
        state.focusable = true;
        state.focused = view_->hasFocus() && view_->currentIndex() == modelIndex();
    }
    return state;
}

bool ViewCell::isSelected() const {
    const QModelIndex index = modelIndex();
    return index.isValid() && view_->selectionModel() && view_->selectionModel()->isSelected(index);
}

QList<QAccessibleInterface*> ViewCell::columnHeaderCells() const {
    ViewAccessible* table = tableOf(view_.data());
    if (kind_ != Kind::Cell || !isValid() || !table->heading())
        return {};
    return {table->child(column_)};
}

QAccessibleInterface* itemViewFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("QTableView") && className != QLatin1String("QListView"))
        return nullptr;
    auto* view = qobject_cast<QAbstractItemView*>(object);
    return view ? new ViewAccessible(view) : nullptr;
}

} // namespace

void installItemViewAccessibility() {
    QAccessible::installFactory(itemViewFactory);
}

} // namespace wardel::qt
