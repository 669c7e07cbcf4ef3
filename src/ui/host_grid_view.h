#pragma once

#include <QTableView>
#include <functional>

#include "hosts/host_table.h"

namespace wardel::qt {

class HostTableModel;

// grdHotGrid: the host table as a grid with one fixed heading row and no row numbers. The operator's
// clicks on a data row (and moves with the keyboard) are reported with the table's row number; the
// highlight and the enabled state always follow the HostTable, so what is highlighted is what Delete
// removes.
class HostGridView : public QTableView {
public:
    explicit HostGridView(QWidget* parent = nullptr);

    // Shows `table` through `model` (which stays owned by the caller); nulls stop showing.
    void follow(HostTable* table, HostTableModel* model);
    // Receives the table row (1..N) the operator clicked.
    void setClickHandler(std::function<void(int)> handler) { onClick_ = std::move(handler); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showSelection();
    void clicked(int viewRow);

    HostTable* table_ = nullptr;
    std::function<void(int)> onClick_;
};

} // namespace wardel::qt
