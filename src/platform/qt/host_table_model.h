#pragma once

#include <QAbstractTableModel>

#include "hosts/host_table.h"

namespace wardel::qt {

// Shows the HostTable in a QTableView. Row 0 of the table is the heading row; the view's rows are the
// data rows 1..N. Every change reaches the view as a fine-grained signal, never as a reset.
class HostTableModel : public QAbstractTableModel, private HostTableObserver {
    Q_OBJECT
public:
    explicit HostTableModel(HostTable& table, QObject* parent = nullptr);
    ~HostTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void cellChanged(int row, int column) override;
    void rowsInserted(int first, int last) override;
    void rowsRemoved(int first, int last) override;
    void enabledChanged() override {}
    void currentRowChanged() override {}

    HostTable& table_;
};

}  // namespace wardel::qt
