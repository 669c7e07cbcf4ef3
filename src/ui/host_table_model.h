#pragma once

#include <QAbstractTableModel>

#include "hosts/host_table.h"

namespace wardel::qt {

// Shows the HostTable (grdHotGrid) in a QTableView. Row 0 of the table is the heading row and becomes the
// horizontal header; the view's rows are the data rows 1..N, so view row r is table row r + 1.
//
// Every change reaches the view as a fine-grained signal, never as a reset: a cell write is one
// dataChanged for that cell, a row insert or removal is announced before the table changes and reported
// after it. That keeps the operator's selection where it is while the engine writes status cells, and keeps
// 32,767 rows responsive. The grid's enabled state and current row are passed on as signals so the window
// can follow them. A cell is shown, and given as its tooltip, up to its first 1,024 characters; the Last
// Status cell's tooltip is the row's history once it has one.
class HostTableModel : public QAbstractTableModel, private HostTableObserver {
    Q_OBJECT
public:
    explicit HostTableModel(HostTable& table, QObject* parent = nullptr);
    ~HostTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The table's row number of a view row, and back; the heading row has no view row (-1).
    static int tableRow(int viewRow) { return viewRow + 1; }
    static int viewRow(int tableRow) { return tableRow - 1; }

signals:
    // HostTable::setEnabled changed the grid's enabled state.
    void gridEnabledChanged(bool enabled);
    // HostTable's current row changed; `tableRow` is 0 when no data row is selected.
    void gridCurrentRowChanged(int tableRow);

private:
    void cellChanged(int row, int column) override;
    void rowsAboutToBeInserted(int first, int last) override;
    void rowsInserted(int first, int last) override;
    void rowsAboutToBeRemoved(int first, int last) override;
    void rowsRemoved(int first, int last) override;
    void enabledChanged() override;
    void currentRowChanged() override;

    HostTable& table_;
    Subscription observing_;
};

} // namespace wardel::qt
