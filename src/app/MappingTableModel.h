// The mapping table: one row per pair of the export session, in the order the
// pairs were made, then one per typed group and carried column that pairing
// by names took (the column and what its values become). Every change of the
// pairs made in the window goes through this model, so the view hears of each
// inserted and removed row.
#pragma once

#include <QAbstractTableModel>

#include <string>

class ExportSession;
struct PairsFile;

class MappingTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The column identifiers, in column order, given as Qt::UserRole header data.
    static const QStringList& columnIdentifiers();

    explicit MappingTableModel(ExportSession& session, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Removes pairs and carried rows; their names go back to the session's free lists.
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    // Appends the pair of a free column and a free property; false when either is taken.
    bool addPair(const std::string& column, const std::string& property);
    // Appends the pairs of every remaining column with the remaining properties
    // in order; the number of pairs added.
    int addAllRemaining();
    // Appends the pairs of every column known by its name, and the rows of the
    // typed groups and carried columns; the number of rows added.
    int addByNames();
    // Removes every pair.
    void clear();
    // Makes the pairs of a pairs file instead of those there are; an empty
    // text, or the first line the loaded file does not fit.
    std::string usePairs(const PairsFile& pairs);

private:
    int pairRows() const;
    // What decided the pair of a row, for its tip: what pairing by column names
    // went by; empty for a pair made by hand or by position.
    QString basisOf(int row) const;

    ExportSession& session_;
};
