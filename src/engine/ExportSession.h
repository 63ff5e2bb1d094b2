// One export from start to end, as the window and the command line both lead
// it: load a CSV file, pair its columns with vCard properties, check the
// pairing, run the conversion on its own thread, cancel or wait, and read the
// report. The shells only turn gestures into these calls and answers into
// widgets or terminal lines.
#pragma once

#include "engine/ConvertorClient.h"
#include "engine/ExportOptions.h"
#include "engine/PairsFile.h"
#include "engine/RunReport.h"
#include "engine/pair/HeaderNames.h"
#include "engine/pair/Mapping.h"
#include "engine/pair/Properties.h"
#include "engine/read/CsvLoad.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class Destination;
class newConvertor;

class ExportSession : private ConvertorClient {
public:
    // One row of the pairing: a column of the CSV file and the property it fills.
    struct Pair {
        // The column's place in the header row, and its name there.
        std::size_t column = 0;
        std::string header;
        property::Position property = property::FirstName;
        // What pairing by names went by ("its name", "its values are e-mail
        // addresses"); empty for a pair made by hand or by position.
        std::string basis;
        // True when the column's values overruled the words of its name.
        bool againstWords = false;

        std::string_view propertyName() const { return property::nameOf(property); }
    };

    // What a load came to.
    enum class LoadStatus {
        Loaded,  // the file has contacts; pairing may start
        Refused, // the file gives no contacts: refusalSentence() says why
        Busy,    // a run still reads the loaded file; nothing was changed
    };

    // Why a pair was not made.
    enum class PairResult { Paired, UnknownColumn, UnknownProperty };

    ExportSession();
    // Cancels a running conversion and waits for its thread.
    ~ExportSession() override;
    ExportSession(const ExportSession&) = delete;
    ExportSession& operator=(const ExportSession&) = delete;

    // How the next load reads the file: its encoding and delimiter.
    void setLoadOptions(const CsvLoadOptions& options) { loadOptions_ = options; }
    // What the last load found out: encoding, delimiter, lines skipped, rows
    // wider than the header, and why a refused file was refused.
    const CsvLoadDiagnostics& diagnostics() const { return diagnostics_; }
    // The refusal of the last load as the shells show it after "Invalid CSV
    // file NAME.": the reason as a sentence, or empty.
    std::string refusalSentence() const;

    // Loads the CSV file with a fresh converter and forgets every pair;
    // contacts() tells how many it holds.
    LoadStatus load(const std::string& path);
    // "Invalid CSV file NAME." for a path, as the shells report a refused file.
    static std::string invalidFileMessage(const std::string& path);

    // The contacts of the loaded file; 0 before a successful load.
    std::int64_t contacts() const { return contacts_; }
    // The header row's names, in column order, empty names included.
    const std::vector<std::string>& headers() const;
    // Column names that can still be paired: the header's non-empty names, in
    // order, with names given back by unpair() at the end.
    std::vector<std::string> freeColumns() const;
    // Property names that can still be paired, in the same manner.
    const std::vector<std::string>& freeProperties() const { return freeProperties_; }
    // The pairs in the order they were made.
    const std::vector<Pair>& pairs() const { return pairs_; }

    // True when both names are free to pair.
    bool canPair(const std::string& column, const std::string& property) const;
    // Pairs a free column with a free property; a name stands for its leftmost
    // column, and every free entry of the same name leaves its list.
    PairResult pair(const std::string& column, const std::string& property);
    // Removes the pair at `index` and gives both names back to their lists.
    std::optional<Pair> unpair(std::size_t index);
    // Pairs the free columns with the free properties of the first 30, by
    // position; the number of pairs made.
    std::size_t pairAllRemaining();
    // How many pairs pairAllRemaining() would make now.
    std::size_t remainingByPosition() const;
    // Pairs every column whose name (or, where the name says nothing, whose
    // values) tells what it holds with a free property of that meaning, lets
    // the typed value groups of the header (a label column per value) type
    // each row's values by that row's label, and carries the other contact
    // columns by position as further values; each carried column is named in
    // the error log. A birthday in part columns (Thunderbird's) fills the
    // birthday when no column is paired with it. The number of pairs made.
    std::size_t pairByNames();
    // How many pairs pairByNames() would make now.
    std::size_t remainingByNames() const;
    // The typed value groups pairing by names took over.
    const std::vector<TypedGroup>& typedGroups() const { return extras_.groups; }
    // The columns pairing by names carries by their position.
    const std::vector<FurtherColumn>& furtherColumns() const { return extras_.further; }

    // A row of the pair table that is no pair: a typed group or a further
    // column, with what its values become ("EMAIL, typed by each row's label",
    // "TEL;CELL", "the note").
    struct CarriedRow {
        std::string column;
        std::string becomes;
    };
    // The typed groups, the further columns, then the columns joined to
    // others (a birthday's parts, house numbers, family-name particles), in
    // the order pairing made them.
    std::vector<CarriedRow> carriedRows() const;
    // Stops carrying the row at `index` (as carriedRows() counts): its columns
    // go back to the free list and none of its values is written any more.
    bool dropCarried(std::size_t index);

    // A column no pair, typed group or further column takes that holds values.
    struct UnpairedColumn {
        std::size_t column;
        std::string header;
        // Its filled cells in the whole file.
        std::int64_t values;
    };
    // The columns whose values are not in the cards as the pairs stand now
    // (with the option to keep them in the note, they go there), in header order.
    std::vector<UnpairedColumn> unpairedColumns() const;
    // Forgets every pair and every removal; the free lists start again from
    // the loaded file.
    void clearPairs();

    // The pairs and carried rows the user removed since the file was loaded,
    // as the pairs file names them: pairing by names does not make them again.
    const std::vector<PairLine>& removals() const { return removals_; }
    void setRemovals(std::vector<PairLine> removals) { removals_ = std::move(removals); }
    // Carries again the typed groups and further columns that pairing by
    // names finds at the columns the rows name; the rows it finds none for.
    std::vector<PairLine> carryAgain(const std::vector<PairLine>& rows);

    // What the run adds to the index map: the typed groups, the further
    // columns and, when the options keep them, the unpaired columns as note lines.
    ColumnExtras runExtras() const;

    // The first contact's card exactly as the next run would write it with the
    // pairs and options as they are now; none without a loaded contact.
    std::optional<std::string> previewCard() const;
    // The header row and up to `count` contacts of the loaded file, in fields.
    std::vector<std::vector<std::string>> previewRows(std::size_t count) const;

    // Hands the pairing to the converter (its step 2); false when it cannot be used.
    bool check();

    // How the next run writes its cards.
    void setExportOptions(const ExportOptions& options) { options_ = options; }
    const ExportOptions& exportOptions() const { return options_; }

    // Starts the conversion into a new run folder inside `folder` on a thread
    // of its own; `ended` is called on that thread as its last act. False when
    // nothing is loaded or a run still goes on.
    bool start(const std::string& folder, std::function<void()> ended = {});
    // The same into any destination, such as an address book server.
    bool start(std::shared_ptr<Destination> destination, std::function<void()> ended = {});
    // Asks the run to stop after the contact in hand; it does not wait.
    void cancel();
    // True once cancel() was called for the current run.
    bool cancelRequested() const;
    // Waits for the run's thread to end.
    void wait();
    // Waits at most `timeout` for the run to end; true when it has.
    bool waitFor(std::chrono::milliseconds timeout);
    // True while a run's thread has not ended.
    bool running() const;
    // Contacts the current run has processed so far; safe from any thread.
    std::int64_t progress() const { return progress_.load(std::memory_order_relaxed); }
    // What the last run came to; none until a run has ended with a report.
    std::optional<RunReport> report() const;
    // The run folder of the last run that reported, ending in "/"; empty before.
    std::string runFolder() const;
    // The share of the progress bar, in percent, one contact of the loaded
    // file stands for; 0 without contacts.
    float progressShare() const;
    // Called on the conversion thread after each contact with the count so
    // far; a test may hold the run there. Set it before start().
    void setProgressObserver(std::function<void(std::int64_t)> observer);

private:
    // What pairing by names finds among the columns and properties not paired
    // yet, with the typed groups of the header in `groups`.
    NamePairing findByNames(std::vector<TypedGroup>& groups) const;
    // The free properties that pairing by position may fill, in list order.
    std::vector<std::string> propertiesByPosition() const;
    // The property names of the loaded file.
    const std::vector<std::string>& properties() const;
    // Takes the typed groups and further columns that pairing by names found
    // into the extras, and the columns whose values join another's; their
    // columns leave the free list, and what the user removed stays out.
    void carry(std::vector<TypedGroup> groups, NamePairing& found);
    // Leaves out of what pairing by names found every row the user removed.
    void leaveOutRemoved(NamePairing& found, std::vector<TypedGroup>& groups) const;
    // Drops the rows of joined columns (a birthday's parts, house numbers,
    // family-name particles) whose column, as carriedRows() names it, is unwanted.
    void dropJoinedRows(const std::function<bool(const std::string&)>& unwanted);
    // Stops carrying the row at `index`, as dropCarried() does, without remembering it.
    bool dropRow(std::size_t index);
    // The column the pair table names a typed group by: its first value column.
    static const std::string& groupColumn(const TypedGroup& group);
    // Takes the columns whose values join another's out of the free columns
    // into the extras: a birthday's parts (unless a column is paired with the
    // birthday already), house numbers and family-name particles.
    void takeJoinedColumns(const NamePairing& found);
    // True when a column is paired with the birthday.
    bool birthdayPaired() const;
    // Writes the pairs into the process-wide pairing, which only the session writes.
    void publishPairs();
    // The pairs as positions, as the converter takes them.
    std::vector<IndexPair> indexPairs() const;
    // True when the column at `index` is free to pair.
    bool columnIsFree(std::size_t index) const;
    // Takes the column at `index` and every free one of the same name off the free list.
    void takeColumn(std::size_t index);
    // Runs step 3 on the run's thread with whatever body the start chose.
    bool launch(std::function<void(newConvertor&, std::stop_token)> body,
                std::function<void()> ended);

    // The converter's callbacks, made while loading and on the conversion thread.
    void addCSVHeadersToComboBox(const std::vector<std::string>& headers) override;
    void addVcardPropertiesToComboBox(const std::vector<std::string>& properties) override;
    void notify(float increment) override;
    void finalNotify(const RunReport& report) override;

    // The converter of the loaded file; the running thread holds its own share.
    std::shared_ptr<newConvertor> objConvertor;
    std::int64_t contacts_ = 0;
    CsvLoadOptions loadOptions_;
    CsvLoadDiagnostics diagnostics_;
    ColumnExtras extras_;
    ExportOptions options_;
    // The free columns by their place in the header row.
    std::vector<std::size_t> freeColumns_;
    std::vector<std::string> freeProperties_;
    std::vector<Pair> pairs_;
    std::vector<PairLine> removals_;

    std::atomic<std::int64_t> progress_{0};
    std::function<void(std::int64_t)> progressObserver_;
    mutable std::mutex mutex_;
    std::condition_variable endedSignal_;
    bool ended_ = true;
    std::optional<RunReport> report_;
    std::jthread thread_;
};
