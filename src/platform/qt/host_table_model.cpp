#include "platform/qt/host_table_model.h"

namespace wardel::qt {

HostTableModel::HostTableModel(HostTable& table, QObject* parent) : QAbstractTableModel(parent), table_(table) {
    table_.setObserver(this);
}

HostTableModel::~HostTableModel() { table_.setObserver(nullptr); }

int HostTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : table_.rowCount() - 1; }

int HostTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : HostTable::kColumns; }

QVariant HostTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return QString::fromStdString(table_.cell(index.row() + 1, index.column()));
}

QVariant HostTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal && section >= 0 && section < HostTable::kColumns)
        return QString::fromStdString(table_.cell(0, section));
    return {};
}

void HostTableModel::cellChanged(int row, int column) {
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, column, column);
        return;
    }
    const QModelIndex cell = index(row - 1, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void HostTableModel::rowsInserted(int first, int last) {
    // The table has already grown; tell the view in the order it expects.
    beginInsertRows({}, first - 1, last - 1);
    endInsertRows();
}

void HostTableModel::rowsRemoved(int first, int last) {
    beginRemoveRows({}, first - 1, last - 1);
    endRemoveRows();
}

}  // namespace wardel::qt
