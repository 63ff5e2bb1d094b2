// The conversion engine for one loaded CSV file: step 1 loads it, step 2 turns
// the user's pairing into an index map, step 3 writes one vCard per contact.
#pragma once

#include "engine/ExportOptions.h"
#include "engine/RunReport.h"
#include "engine/cards/ContactRecord.h"
#include "engine/cards/Dates.h"
#include "engine/pair/Mapping.h"
#include "engine/pair/TypedGroups.h"
#include "engine/read/CsvLoad.h"

#include <cstdint>
#include <exception>
#include <map>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

class ConvertorClient;
class Destination;

class newConvertor {
public:
    // How the row loop ended.
    enum class RunEnd { Completed, Stopped, Failed, Cancelled };

    // Empties the index map, resets the counters and starts a fresh error log.
    newConvertor();
    // Writes "End Application"; the process-wide state keeps its values.
    ~newConvertor();
    newConvertor(const newConvertor&) = delete;
    newConvertor& operator=(const newConvertor&) = delete;

    // Step 1: loads the CSV, hands the header names and the property names to the
    // controller and answers the number of contacts, 0 when the file is unusable.
    std::int64_t startStep1(const std::string& path, ConvertorClient* controller);
    // The encoding and the delimiter the next step 1 reads its file with.
    void setLoadOptions(const CsvLoadOptions& options);
    // What the latest step 1 found out about its file, the reason for a refusal
    // included.
    const CsvLoadDiagnostics& loadDiagnostics() const;
    // The header row's names as step 1 split them, in column order.
    const std::vector<std::string>& headers() const { return csvHeadersArray; }
    // The vCard property names, once step 1 succeeded.
    const std::vector<std::string>& properties() const { return vCardPropertyArray; }

    // Step 2: builds the index map from the pairing (property name -> header
    // name) and takes the typed value groups (detectTypedGroups) that step 3
    // spreads over each record by each row's own labels; the paired birthday
    // column's order of day and month is found over all rows and logged.
    // False, with the previous map and groups kept, when a name is not found.
    bool startStep2(const std::map<std::string, std::string>& pairing, ColumnExtras extras = {});
    // The same for pairs of positions, as the session holds them; false when
    // a position is beyond the header or the properties.
    bool startStep2(const std::vector<IndexPair>& pairs, ColumnExtras extras = {});
    // One data row as a record of totalProperties values; none when too short.
    std::optional<ContactRecord> mapProperties(std::string_view row) const;

    // Creates a new run folder "Olvenmark___dd_MM_yy__HH_mm_ss/" in the
    // destination; a second run in the same second gets "...(1)/" beside it.
    // 0, or the errno that kept the folder from being made.
    int gotDestinationPath(const std::string& destination);

    // Step 3, the body of the conversion thread: a new run folder in the
    // destination folder and the cards in it as the options ask. The stop
    // token is the cancellation mark.
    bool startStep3(std::stop_token cancel, const std::string& destination,
                    const ExportOptions& options = {});
    // Step 3 into any destination, which makes itself ready first.
    bool startStep3(std::stop_token cancel, Destination& destination,
                    const ExportOptions& options = {});
    // The row loop: a card per contact handed to the destination, a progress
    // call per row, one final call.
    RunEnd startConversion(std::stop_token cancel, Destination& destination,
                           const ExportOptions& options);

    // The first contact's card exactly as a run with these pairs, typed groups
    // and options writes it; none without a contact or when the row cannot be
    // mapped.
    std::optional<std::string> previewFirstCard(const std::vector<IndexPair>& pairs,
                                                const ColumnExtras& extras,
                                                const ExportOptions& options) const;
    // How many filled cells each column has in the whole file, counted once.
    const std::vector<std::int64_t>& columnValueCounts() const;
    // The header row and up to `count` contacts, split into their fields.
    std::vector<std::vector<std::string>> previewRows(std::size_t count) const;

private:
    // Reads, decodes and lays out the file for step 1: the loaded text, its rows,
    // the delimiter and the diagnostics, which it logs.
    void loadCsvFile(const std::string& path);
    // Logs and notes in the diagnostics the rows of the loaded text where bytes
    // that were no UTF-8 were read as Windows-1252 (places in the text, in order).
    void noteStrayBytes(const std::vector<std::size_t>& places);
    // Step 2 once the pairs are known to name real columns and properties.
    bool takePairs(std::vector<IndexPair> pairs, ColumnExtras extras);
    // Logs a failed step 2, which keeps the previous index map.
    void failStep2(const std::exception& e) const;
    // The body both step 3s share once the destination is known.
    bool runStep3(std::stop_token cancel, Destination* destination, const ExportOptions& options,
                  const std::string& folder);

    // The label of each property's value in a note: the name of the column
    // step 2 paired with it, else the property's name.
    std::vector<std::string> propertyLabels() const;

    // The order of day and month in the dates of the column paired with the
    // birthday, found over all rows once per column (logged when asked).
    dates::DateOrder birthdayOrderOf(const std::vector<IndexPair>& pairs, bool log) const;

    // The row list of the loaded text, as step 1 built it; cut again into
    // `cutAgain` when the text is no longer the one step 1 loaded.
    const std::vector<std::string_view>&
    rowsOfLoadedText(std::vector<std::string_view>& cutAgain) const;

    std::vector<std::string> csvHeadersArray;
    std::vector<std::string> vCardPropertyArray;
    // Step 1's row list and the text it points into, so the run need not split again.
    std::vector<std::string_view> loadedRows;
    const char* loadedText = nullptr;
    std::size_t loadedSize = 0;
    // The path step 1 loaded, which names the single file of a run.
    std::string loadedPath;
    CsvLoadOptions csvLoadOptions;
    CsvLoadDiagnostics csvDiagnostics;
    char csvDelimiter = ',';
    // Step 2's index map as numbers (mappingDictionary holds it as text for
    // whoever reads it), its typed value groups and further columns.
    std::vector<IndexPair> indexMap;
    ColumnExtras columnExtras;
    // The filled cells of each column, once asked for.
    mutable std::optional<std::vector<std::int64_t>> valueCounts;
    // Step 2's order of day and month in the birthday column.
    dates::DateOrder birthdayOrder = dates::DateOrder::MonthFirst;
    // The order found for each birthday column so far, so that a preview does
    // not read the whole file again; used on the main thread only.
    mutable std::map<std::size_t, dates::ColumnOrder> birthdayOrders;
};
