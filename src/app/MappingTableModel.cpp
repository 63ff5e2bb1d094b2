#include "app/MappingTableModel.h"

#include "engine/ExportSession.h"
#include "engine/PairsFile.h"

const QStringList& MappingTableModel::columnIdentifiers() {
    static const QStringList ids = {QStringLiteral("CSVColumn"), QStringLiteral("vCardColumn")};
    return ids;
}

MappingTableModel::MappingTableModel(ExportSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {}

int MappingTableModel::pairRows() const {
    return static_cast<int>(session_.pairs().size());
}

int MappingTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : pairRows() + static_cast<int>(session_.carriedRows().size());
}

int MappingTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columnIdentifiers().size());
}

QVariant MappingTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    if (role == Qt::ToolTipRole && !basisOf(index.row()).isEmpty()) {
        return basisOf(index.row());
    }
    if (index.row() < pairRows()) {
        const auto& pair = session_.pairs()[static_cast<std::size_t>(index.row())];
        if (index.column() == 0) {
            return QString::fromStdString(pair.header);
        }
        // A pair its values made against the words of its name says so; the
        // tip says what decided any pair made by names.
        std::string property(pair.propertyName());
        if (role == Qt::ToolTipRole && !pair.basis.empty()) {
            property += ": " + pair.basis;
        } else if (pair.againstWords) {
            property += " (" + pair.basis + ")";
        }
        return QString::fromStdString(property);
    }
    const auto carried = session_.carriedRows()[static_cast<std::size_t>(index.row() - pairRows())];
    return QString::fromStdString(index.column() == 0 ? carried.column : carried.becomes);
}

QString MappingTableModel::basisOf(int row) const {
    return row < pairRows()
               ? QString::fromStdString(session_.pairs()[static_cast<std::size_t>(row)].basis)
               : QString();
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
        if (row < pairRows()) {
            session_.unpair(static_cast<std::size_t>(row));
        } else {
            session_.dropCarried(static_cast<std::size_t>(row - pairRows()));
        }
    }
    endRemoveRows();
    return true;
}

bool MappingTableModel::addPair(const std::string& column, const std::string& property) {
    if (!session_.canPair(column, property)) {
        return false;
    }
    const int row = pairRows();
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
    const int row = pairRows();
    beginInsertRows({}, row, row + count - 1);
    session_.pairAllRemaining();
    endInsertRows();
    return count;
}

int MappingTableModel::addByNames() {
    // Pairs go before the carried rows and carried rows come with them: the
    // table is read again.
    const int before = rowCount();
    beginResetModel();
    session_.pairByNames();
    endResetModel();
    return rowCount() - before;
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

std::string MappingTableModel::usePairs(const PairsFile& pairs) {
    beginResetModel();
    std::string error = applyPairsFile(session_, pairs);
    endResetModel();
    return error;
}
