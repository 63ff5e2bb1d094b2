#include "app/MappingTableModel.h"

#include "engine/ExportSession.h"

const QStringList& MappingTableModel::columnIdentifiers() {
    static const QStringList ids = {QStringLiteral("CSVColumn"), QStringLiteral("vCardColumn")};
    return ids;
}

MappingTableModel::MappingTableModel(ExportSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {}

int MappingTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(session_.pairs().size());
}

int MappingTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columnIdentifiers().size());
}

QVariant MappingTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const auto& pair = session_.pairs()[static_cast<std::size_t>(index.row())];
    return QString::fromStdString(index.column() == 0 ? pair.column : pair.property);
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

bool MappingTableModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count <= 0 || row + count > rowCount()) {
        return false;
    }
    beginRemoveRows({}, row, row + count - 1);
    for (int i = 0; i < count; ++i) {
        session_.unpair(static_cast<std::size_t>(row));
    }
    endRemoveRows();
    return true;
}

bool MappingTableModel::addPair(const std::string& column, const std::string& property) {
    if (!session_.canPair(column, property)) {
        return false;
    }
    const int row = rowCount();
    beginInsertRows({}, row, row);
    session_.pair(column, property);
    endInsertRows();
    return true;
}

int MappingTableModel::addAllRemaining() {
    const int count = static_cast<int>(session_.remainingByPosition());
    if (count == 0) {
        return 0;
    }
    const int row = rowCount();
    beginInsertRows({}, row, row + count - 1);
    session_.pairAllRemaining();
    endInsertRows();
    return count;
}

int MappingTableModel::addByNames() {
    const int count = static_cast<int>(session_.remainingByNames());
    const int row = rowCount();
    if (count > 0) {
        beginInsertRows({}, row, row + count - 1);
    }
    session_.pairByNames(); // also takes over the typed value groups
    if (count > 0) {
        endInsertRows();
    }
    return count;
}

void MappingTableModel::clear() {
    const int rows = rowCount();
    if (rows > 0) {
        beginRemoveRows({}, 0, rows - 1);
    }
    session_.clearPairs(); // also when no row shows: the free lists start again
    if (rows > 0) {
        endRemoveRows();
    }
}
