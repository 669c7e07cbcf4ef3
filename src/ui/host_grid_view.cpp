#include "ui/host_grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

#include "ui/host_table_model.h"

namespace wardel::qt {

namespace {

// Column widths in twips, 15 to the pixel.
constexpr int kColumnTwips[HostTable::kColumns] = {1850, 600, 1700, 2000, 500, 800, 600};

} // namespace

HostGridView::HostGridView(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Rows as high as the text and a little air: the classic grid's 240 twips at the form's text size.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(std::max(16, fontMetrics().height() + 5));
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) { clicked(index.row()); });
}

void HostGridView::follow(HostTable* table, HostTableModel* model) {
    table_ = table;
    setModel(model);
    if (!model)
        return;
    for (int column = 0; column < HostTable::kColumns; ++column) {
        horizontalHeader()->setSectionResizeMode(column, QHeaderView::Fixed);
        horizontalHeader()->resizeSection(column, (kColumnTwips[column] + 7) / 15);
    }
    connect(model, &HostTableModel::gridEnabledChanged, this, [this](bool on) { setEnabled(on); });
    connect(model, &HostTableModel::gridCurrentRowChanged, this, [this](int) { showSelection(); });
    setEnabled(table_->enabled());
    showSelection();
}

void HostGridView::keyPressEvent(QKeyEvent* event) {
    const int before = currentIndex().row();
    QTableView::keyPressEvent(event);
    const QModelIndex now = currentIndex();
    if (now.isValid() && now.row() != before)
        clicked(now.row());
}

void HostGridView::clicked(int viewRow) {
    if (onClick_ && viewRow >= 0)
        onClick_(HostTableModel::tableRow(viewRow));
    // The view moved its highlight on its own; show what the table made of the click.
    showSelection();
}

void HostGridView::showSelection() {
    if (!table_ || !selectionModel())
        return;
    const int row = table_->currentRow();
    if (row <= 0) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = model()->index(HostTableModel::viewRow(row), 0);
    if (selectionModel()->isRowSelected(index.row(), {}) && currentIndex().row() == index.row())
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

} // namespace wardel::qt
