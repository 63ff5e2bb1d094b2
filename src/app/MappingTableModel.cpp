#include "MappingTableModel.h"

const QStringList& MappingTableModel::columnIdentifiers() {
    static const QStringList ids = {QStringLiteral("CSVColumn"), QStringLiteral("vCardColumn")};
    return ids;
}

MappingTableModel::MappingTableModel(RowCount rows, CellText cell, QObject* parent)
    : QAbstractTableModel(parent), rows_(std::move(rows)), cell_(std::move(cell)) {}

int MappingTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_();
}

int MappingTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columnIdentifiers().size());
}

QVariant MappingTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    return cell_(columnIdentifiers().at(index.column()), index.row());
}

QVariant MappingTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnIdentifiers().size()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::UserRole) {
        return columnIdentifiers().at(section);
    }
    if (role == Qt::DisplayRole) {
        return section == 0 ? tr("CSV column") : tr("vCard property");
    }
    return {};
}

void MappingTableModel::reload() {
    beginResetModel();
    endResetModel();
}
