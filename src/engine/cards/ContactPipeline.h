// Prepares the contacts of a run (mapping, vCard text, name base) on helper
// threads, one per core, a bounded distance ahead of the conversion thread,
// which names and writes the files in order. The helpers take the rows in
// batches; each row's card is the same whichever helper makes it. Nothing the
// preparation finds is logged before the conversion thread reaches that row.
#pragma once

#include "engine/ExportOptions.h"
#include "engine/cards/ContactRecord.h"
#include "engine/cards/ContactUid.h"
#include "engine/cards/Dates.h"
#include "engine/cards/MergeRows.h"
#include "engine/files/UnnamedCard.h"
#include "engine/pair/Mapping.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

// One data row, ready for the file system. Slots are reused, so their strings
// keep their buffers from row to row.
struct PreparedContact {
    // False when the row could not be mapped into a record.
    bool mapped = false;
    // True when it could not for lack of the fields its pairs need.
    bool shortRow = false;
    // True when the record holds no value and the format writes no empty card.
    bool empty = false;
    // What the file is named after; none for a contact without a name, and
    // for every contact of a run into one file.
    std::optional<std::string> nameBase;
    std::optional<std::string> card;
    // The card's UID, for a format that carries one.
    std::string uid;
    // The console entry when the file cannot be named; the run stops there.
    std::optional<std::string> namingFailure;
    // Error-log entries for this row, written when the row is reached.
    std::vector<std::string> logEntries;
    // Control characters dropped from the row's values.
    std::size_t droppedControls = 0;
    // Telephone numbers the options' PhoneForm could not write in international form.
    std::size_t phonesLeft = 0;
    // True when the row is in the card of an earlier row of the same person.
    bool merged = false;
    // The contacts (0 the first) whose rows this card holds, itself first;
    // none for a card of one row.
    const std::vector<std::size_t>* people = nullptr;
    // The card written ahead into an unnamed file of the run folder, for the
    // destination to name in its turn (and thereby take).
    mutable UnnamedCard cardFile;
};

// How the rows of the file are read beyond the index map.
struct RowReading {
    char delimiter = ',';
    // Typed value groups and further columns, added to each record.
    ColumnExtras extras;
    // The order of day and month found for the birthday column.
    dates::DateOrder dateOrder = dates::DateOrder::MonthFirst;
};

// The record of one row as the run makes it: mapped by the index map and the
// extras, its dates read in the order found, a birthday placeholder
// (0/0/00 ...) no value. Throws what mapFields throws.
ContactRecord readContact(std::string_view row, const std::vector<IndexPair>& pairs,
                          const RowReading& reading);
// The same into `record`, keeping its buffers.
void readContactInto(ContactRecord& record, std::string_view row,
                     const std::vector<IndexPair>& pairs, const RowReading& reading);

// What a run does to a record before its card is made: control characters
// dropped (the count added to `dropped`), telephone numbers in international
// form where the options ask (answers how many stayed as written).
std::size_t cleanRecord(ContactRecord& record, bool dropControls, const ExportOptions& options,
                        std::size_t& dropped);

// The people of the contacts rows[first], rows[first + 1], ..., each row read
// as a run reads it (telephone numbers in the options' form): which card holds
// which rows. The labels are left to the caller.
RowGroups findPeople(const std::vector<std::string_view>& rows, std::size_t first,
                     const std::vector<IndexPair>& pairs, const RowReading& reading,
                     const ExportOptions& options);

// The value of the options' identity column in the row, as the UID is made
// from it; none without the option, or when the row holds no value there.
std::optional<std::string> identityValue(std::string_view row, const ExportOptions& options,
                                         char delimiter);
// The UID of a row's card where the options' format carries one: made from
// the identity value when there is one, else from the row's text, and the
// count of identical ones before it; else empty.
std::string contactUid(std::string_view row, std::uint64_t earlierIdentical,
                       const ExportOptions& options, char delimiter);
// The card of one mapped record exactly as the run writes it: in the options'
// format, with the uid where the format carries one. Throws what the card
// writer throws.
std::string renderContactCard(const ContactRecord& record, std::string_view uid,
                              const ExportOptions& options);
// The same card written over `out`, keeping its buffer.
void renderContactCardInto(std::string& out, const ContactRecord& record, std::string_view uid,
                           const ExportOptions& options);

class ContactPipeline {
public:
    // Prepares rows[first], rows[first + 1], ... in order.
    // The cards are made the way the options ask: a format that carries a UID
    // takes it from the row's text; for a single file every card ends with a line break.
    // With `people`, a person's rows give one card, at the first of them.
    // With `aheadFolder`, each card is also written into an unnamed file of
    // that folder, beside the conversion thread, which then only names it.
    ContactPipeline(const std::vector<std::string_view>& rows, std::size_t first,
                    std::vector<IndexPair> pairs, RowReading reading = {},
                    ExportOptions options = {}, std::shared_ptr<const RowGroups> people = nullptr,
                    std::string aheadFolder = {});
    // Stops the preparation and waits for it.
    ~ContactPipeline();
    ContactPipeline(const ContactPipeline&) = delete;
    ContactPipeline& operator=(const ContactPipeline&) = delete;

    // The next row in order, valid until the following call; waits until ready.
    const PreparedContact& next();

private:
    // Rows a helper takes at once: few enough to keep the helpers busy side
    // by side, enough that the conversion thread, which waits for whole
    // batches, is woken seldom (each wake-up takes a core from a helper).
    // Cards written ahead hold a descriptor each until named: fewer slots then.
    std::size_t batch_ = 128;
    std::size_t slotCount_ = 1024;

    void prepareBatches();
    // Adds the other rows of the contact's person to its record.
    void mergePerson(std::size_t contactIndex, ContactRecord& record,
                     PreparedContact& contact) const;
    // Prepares the row into the slot, with its hashed text where the format
    // carries a UID; `record` is the helper's own, reused.
    void prepare(std::size_t index, const uid::RowHash* hash, std::uint64_t earlierIdenticalRows,
                 PreparedContact& contact, ContactRecord& record);
    // True when batch `batch` may be filled: the rows whose slots it reuses
    // were handed out and given back. Called with the mutex held.
    bool roomFor(std::size_t batch) const;

    const std::vector<std::string_view>& rows_;
    std::size_t first_;
    std::size_t batchCount_ = 0;
    std::vector<IndexPair> pairs_;
    RowReading reading_;
    ExportOptions options_;
    std::shared_ptr<const RowGroups> people_;
    std::string aheadFolder_;
    // Cards that may wait in unnamed files at once.
    long aheadLimit_ = 0;
    // False once the folder turned out to have no unnamed files: each card is
    // then written in its turn without trying first.
    std::atomic<bool> writeAhead_{false};
    bool needsUid_ = false;
    // Control characters in the rows above the first, whose names a record may carry.
    bool headerHoldsControls_ = false;
    // Identical rows met so far, counted in row order when a batch is taken.
    uid::RowOccurrences occurrences_;
    // How many times each identity value was met, where the options name an
    // identity column.
    std::unordered_map<std::string, std::uint64_t> identities_;
    std::vector<PreparedContact> slots_;
    // For each place in the ring, the number of the batch last made ready there.
    std::vector<std::size_t> readyBatch_;

    std::mutex mutex_;
    std::condition_variable ready_;
    std::condition_variable room_;
    // Wakes the helper whose turn it is to count its batch's identical rows.
    std::condition_variable counted_;
    std::size_t countedBatches_ = 0;
    // The next batch a helper takes, and rows handed out (the last one still in use).
    std::size_t nextBatch_ = 0;
    std::size_t handedOut_ = 0;
    bool closing_ = false;
    std::size_t helpersWaiting_ = 0;
    // The batch the conversion thread waits for; SIZE_MAX when it does not wait.
    std::size_t awaitedBatch_ = SIZE_MAX;
    std::vector<std::thread> helpers_;
};
