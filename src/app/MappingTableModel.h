// Feeds the mapping table from the controller's list of pairs; the two
// columns carry the identifiers "CSVColumn" and "vCardColumn".
#pragma once

#include <QAbstractTableModel>

#include <functional>

class MappingTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The column identifiers, in column order.
    static const QStringList& columnIdentifiers();

    // How many rows there are, and a cell's text by column identifier and row.
    using RowCount = std::function<int()>;
    using CellText = std::function<QString(const QString& identifier, int row)>;

    MappingTableModel(RowCount rows, CellText cell, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Tells the view the list changed.
    void reload();

private:
    RowCount rows_;
    CellText cell_;
};
