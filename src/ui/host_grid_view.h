#pragma once

#include <QTableView>
#include <functional>

#include "hosts/host_table.h"

namespace wardel::qt {

class HostTableModel;

// grdHotGrid: the host table as a grid with one fixed heading row and no row numbers.
//
// The highlight is only ever the HostTable's current row, so what is highlighted is what Delete removes. The
// view never selects on its own: a plain left click (press and release on the same data row) and the
// keyboard's moves are reported with the table's row number, and the highlight then shows what the table made
// of them. A right click, a drag, a click on empty space and a click with Ctrl, Shift, Alt or Meta change
// nothing. The enabled state follows the HostTable too: disabled during every probe, the grid takes no
// input but keeps its normal colours, since with many targets that is most of each cycle. Tab and Shift+Tab
// leave the grid for the next and the previous control; the arrow keys move within it.
class HostGridView : public QTableView {
public:
    explicit HostGridView(QWidget* parent = nullptr);

    // Shows `table` through `model` (which stays owned by the caller); nulls stop showing.
    void follow(HostTable* table, HostTableModel* model);
    // Widens the last column by `pixels` beyond its design width, the room a larger window gives the grid.
    void setSpareWidth(int pixels);
    // Receives the table row (1..N) the operator clicked.
    void setClickHandler(std::function<void(int)> handler) { onClick_ = std::move(handler); }
    // Receives the table row whose history the operator asked for: a double-click on it, Enter on the chosen
    // row, or "History" in the row's context menu (a right click, the menu key, Shift+F10).
    void setHistoryHandler(std::function<void(int)> handler) { onHistory_ = std::move(handler); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    void showSelection();
    // The disabled colours made the normal ones, again whenever the desktop's palette changes.
    void keepColoursWhileBlocked();
    void fitLastColumn();
    void clicked(int viewRow);
    // The view row under a plain left press or release at the event's position, else -1.
    int plainLeftRow(const QMouseEvent* event) const;

    HostTable* table_ = nullptr;
    void askHistory(int viewRow);
    // The context menu of a view row, at `at` in the viewport; it never runs an event loop of its own.
    void showRowMenu(int viewRow, const QPoint& at);

    std::function<void(int)> onClick_;
    std::function<void(int)> onHistory_;
    int pressedRow_ = -1; // the view row of the pending plain left press
    int spareWidth_ = 0;
};

} // namespace wardel::qt
