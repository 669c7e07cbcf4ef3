#include "ui/host_table_model.h"

#include "common/utf8.h"

namespace wardel::qt {

namespace {

// Laying out and eliding a cell costs time in proportion to its length, on every repaint and every click on
// its row; a hand-edited host.ini can hold megabytes in one field. The grid shows at most this many
// characters of a cell, then an ellipsis. The cell keeps its full text.
constexpr std::size_t kShownCharacters = 1024;

QString shownText(const std::string& cell) {
    const std::size_t cut = utf8::prefixBytes(cell, kShownCharacters);
    if (cut == cell.size())
        return QString::fromStdString(cell);
    QString shown = QString::fromUtf8(cell.data(), static_cast<qsizetype>(cut));
    shown += QChar(0x2026);
    return shown;
}

} // namespace

HostTableModel::HostTableModel(HostTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table), observing_(table_.observe(*this)) {}

HostTableModel::~HostTableModel() = default;

int HostTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.rowCount() - 1;
}

int HostTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : HostTable::kColumns;
}

QVariant HostTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.model() != this || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::ToolTipRole:
        // The status cell's tip says since when the target has been in its state and when it last answered.
        if (index.column() == HostTable::colLastStatus) {
            const std::string tip = table_.lastStatusTip(tableRow(index.row()));
            if (!tip.empty())
                return QString::fromStdString(tip);
        }
        return shownText(table_.cell(tableRow(index.row()), index.column()));
    case Qt::DisplayRole:
        return shownText(table_.cell(tableRow(index.row()), index.column()));
    case Qt::TextAlignmentRole:
        // The status column is centred; every other column reads from the left.
        if (index.column() == HostTable::colLastStatus)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant HostTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    if (section < 0 || section >= HostTable::kColumns)
        return {};
    return QString::fromStdString(table_.cell(0, section));
}

void HostTableModel::cellChanged(int row, int column) {
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, column, column);
        return;
    }
    const QModelIndex cell = index(viewRow(row), column);
    emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::ToolTipRole});
}

void HostTableModel::rowsAboutToBeInserted(int first, int last) {
    beginInsertRows({}, viewRow(first), viewRow(last));
}

void HostTableModel::rowsInserted(int, int) {
    endInsertRows();
}

void HostTableModel::rowsAboutToBeRemoved(int first, int last) {
    beginRemoveRows({}, viewRow(first), viewRow(last));
}

void HostTableModel::rowsRemoved(int, int) {
    endRemoveRows();
}

void HostTableModel::enabledChanged() {
    emit gridEnabledChanged(table_.enabled());
}

void HostTableModel::currentRowChanged() {
    emit gridCurrentRowChanged(table_.currentRow());
}

} // namespace wardel::qt
