#include "ui/host_grid_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <utility>

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
    // Tab inside the grid would move from cell to cell, never leave, and select a row on the way.
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Rows as high as the text and a little air: the grid's design row height of 240 twips (16 pixels) at
    // the form's text size.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(std::max(16, fontMetrics().height() + 5));
    keepColoursWhileBlocked();
}

void HostGridView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        keepColoursWhileBlocked();
}

void HostGridView::keepColoursWhileBlocked() {
    QPalette colours = palette();
    bool same = true;
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = static_cast<QPalette::ColorRole>(role);
        if (r == QPalette::NoRole || colours.brush(QPalette::Disabled, r) == colours.brush(QPalette::Active, r))
            continue;
        colours.setBrush(QPalette::Disabled, r, colours.brush(QPalette::Active, r));
        same = false;
    }
    // Setting it brings one more PaletteChange, which then finds nothing to change.
    if (!same)
        setPalette(colours);
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
    setSpareWidth(spareWidth_);
    connect(model, &HostTableModel::gridEnabledChanged, this, [this](bool on) { setEnabled(on); });
    connect(model, &HostTableModel::gridCurrentRowChanged, this, [this](int) { showSelection(); });
    setEnabled(table_->enabled());
    showSelection();
}

void HostGridView::setSpareWidth(int pixels) {
    spareWidth_ = std::max(0, pixels);
    fitLastColumn();
}

void HostGridView::fitLastColumn() {
    constexpr int kLast = HostTable::kColumns - 1;
    if (!model())
        return;
    // The spare width less what the vertical scroll bar takes of it, so a grown grid needs no horizontal
    // one; never narrower than the design.
    const int design = (kColumnTwips[kLast] + 7) / 15;
    const int scrollBar = verticalScrollBar()->isVisible() ? verticalScrollBar()->width() : 0;
    const int width = std::max(design, design + spareWidth_ - scrollBar);
    if (columnWidth(kLast) != width)
        horizontalHeader()->resizeSection(kLast, width);
}

void HostGridView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    fitLastColumn();
}

int HostGridView::plainLeftRow(const QMouseEvent* event) const {
    constexpr Qt::KeyboardModifiers kChords =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (event->button() != Qt::LeftButton || (event->modifiers() & kChords))
        return -1;
    return indexAt(event->position().toPoint()).row();
}

// The mouse reaches the table only as whole clicks; the base view never sees it, so it neither selects nor
// moves its current cell by pressing, dragging or right-clicking.
void HostGridView::mousePressEvent(QMouseEvent* event) {
    pressedRow_ = plainLeftRow(event);
}

void HostGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click counts as a press of its own, and opens the row's history.
    mousePressEvent(event);
    askHistory(pressedRow_);
}

void HostGridView::mouseMoveEvent(QMouseEvent*) {
    // A drag selects nothing; only where the button goes up counts.
}

void HostGridView::mouseReleaseEvent(QMouseEvent* event) {
    const int pressed = pressedRow_;
    pressedRow_ = -1;
    if (pressed >= 0 && plainLeftRow(event) == pressed)
        clicked(pressed);
}

void HostGridView::askHistory(int viewRow) {
    if (onHistory_ && viewRow >= 0 && model() && viewRow < model()->rowCount())
        onHistory_(HostTableModel::tableRow(viewRow));
}

void HostGridView::showRowMenu(int viewRow, const QPoint& at) {
    if (viewRow < 0 || !onHistory_)
        return;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("&History..."), this, [this, viewRow] { askHistory(viewRow); });
    menu->popup(viewport()->mapToGlobal(at));
}

void HostGridView::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse) {
        showRowMenu(indexAt(event->pos()).row(), event->pos());
        return;
    }
    // From the keyboard: the chosen row's menu, at its first cell.
    const int row = table_ ? HostTableModel::viewRow(table_->currentRow()) : -1;
    if (table_ && table_->currentRow() > 0)
        showRowMenu(row, visualRect(model()->index(row, 0)).center());
}

void HostGridView::keyPressEvent(QKeyEvent* event) {
    const bool chosen = table_ && table_->currentRow() > 0;
    if (chosen && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & ~Qt::KeypadModifier)) {
        askHistory(HostTableModel::viewRow(table_->currentRow()));
        return;
    }
    if ((event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) || event->key() == Qt::Key_Menu) {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), mapToGlobal(QPoint()));
        contextMenuEvent(&menu);
        return;
    }
    // The base view moves the current cell (it selects nothing, see selectionCommand); a move to another row
    // selects that row as a click does. A key that moves nothing (Shift on its way to Shift+Tab) selects
    // nothing, even where the view made a cell current on its own when the grid took the focus.
    const int before = table_ ? HostTableModel::viewRow(table_->currentRow()) : currentIndex().row();
    const QModelIndex was = currentIndex();
    QTableView::keyPressEvent(event);
    const QModelIndex now = currentIndex();
    if (now.isValid() && now != was && now.row() != before)
        clicked(now.row());
    else
        showSelection();
}

QItemSelectionModel::SelectionFlags HostGridView::selectionCommand(const QModelIndex&, const QEvent*) const {
    return QItemSelectionModel::NoUpdate;
}

void HostGridView::clicked(int viewRow) {
    if (onClick_ && viewRow >= 0)
        onClick_(HostTableModel::tableRow(viewRow));
    // Show what the table made of the click, whatever it was.
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
