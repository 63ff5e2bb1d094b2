#include "engine/cards/ContactPipeline.h"

#include "engine/Text.h"
#include "engine/cards/CardLines.h"
#include "engine/cards/CardWriter.h"
#include "engine/cards/ControlCharacters.h"
#include "engine/cards/VCard.h"
#include "engine/files/Output.h"
#include "engine/pair/ValueShapes.h"
#include "engine/read/Csv.h"
#include "engine/read/CsvTexts.h"

#include <algorithm>
#include <array>
#include <cstdint>

ContactPipeline::ContactPipeline(const std::vector<std::string_view>& rows, std::size_t first,
                                 std::vector<IndexPair> pairs, RowReading reading,
                                 ExportOptions options)
    : rows_(rows), first_(first), pairs_(std::move(pairs)), reading_(std::move(reading)),
      options_(options), needsUid_(cardWriter(options.format).needsUid()), slots_(kSlots),
      readyBatch_(kBatches, SIZE_MAX) {
    if (first_ >= rows_.size()) {
        return;
    }
    batchCount_ = (rows_.size() - first_ + kBatch - 1) / kBatch;
    // A record's values come from its row, and the header's names where a
    // value goes into the note with its column's name.
    headerHoldsControls_ = std::any_of(
        rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(first_), holdsControlCharacters);
    if (needsUid_) {
        occurrences_.reserve(rows_.size() - first_);
    }
    // One helper per core, the conversion thread's core included: it mostly
    // waits on the file system. A few rows need no second helper.
    const std::size_t cores = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4);
    const std::size_t helpers = std::min(cores, batchCount_);
    for (std::size_t i = 0; i < helpers; ++i) {
        helpers_.emplace_back([this] { prepareBatches(); });
    }
}

ContactPipeline::~ContactPipeline() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    room_.notify_all();
    for (auto& helper : helpers_) {
        helper.join();
    }
}

std::optional<std::string> identityValue(std::string_view row, const ExportOptions& options,
                                         char delimiter) {
    if (!options.idColumn) {
        return std::nullopt;
    }
    const auto fields = splitString(row, delimiter);
    if (!fields || *options.idColumn >= fields->size()) {
        return std::nullopt;
    }
    // As a spreadsheet may save it again: "='0042'", "1234.0", blanks around it.
    std::string_view value = text::trimmed((*fields)[*options.idColumn]);
    value = text::trimmed(shapes::withoutZeroFraction(shapes::unwrapped(value)));
    return value.empty() ? std::nullopt : std::optional<std::string>(value);
}

std::string contactUid(std::string_view row, std::uint64_t earlierIdentical,
                       const ExportOptions& options, char delimiter) {
    if (!cardWriter(options.format).needsUid()) {
        return {};
    }
    const auto identity = identityValue(row, options, delimiter);
    return uid::rowUuid(identity ? std::string_view(*identity) : row, earlierIdentical);
}

void renderContactCardInto(std::string& out, const ContactRecord& record, std::string_view uid,
                           const ExportOptions& options) {
    out.clear();
    cardWriter(options.format).writeInto(out, record, uid);
    if (options.singleFile && !out.ends_with('\n')) {
        out += '\n'; // the next card starts on a line of its own
    }
}

std::string renderContactCard(const ContactRecord& record, std::string_view uid,
                              const ExportOptions& options) {
    std::string card;
    card.reserve(1024);
    renderContactCardInto(card, record, uid, options);
    return card;
}

ContactRecord readContact(std::string_view row, const std::vector<IndexPair>& pairs,
                          const RowReading& reading) {
    ContactRecord record;
    readContactInto(record, row, pairs, reading);
    return record;
}

void readContactInto(ContactRecord& record, std::string_view row,
                     const std::vector<IndexPair>& pairs, const RowReading& reading) {
    mapFieldsInto(record, row, pairs, reading.delimiter, reading.extras);
    record.dateOrder = reading.dateOrder;
    // A placeholder is no value: it neither names a card nor keeps it from being empty.
    if (property::Birthday < record.named.size() && !record[property::Birthday].empty() &&
        dates::readDate(record[property::Birthday]).kind == dates::DateKind::Placeholder) {
        record[property::Birthday].clear();
    }
}

void ContactPipeline::prepare(std::size_t index, std::uint64_t earlierIdentical,
                              const std::optional<std::string>& identity, PreparedContact& contact,
                              ContactRecord& record) {
    // The slot's card buffer, kept from the row it held before.
    std::string buffer = contact.card ? std::move(*contact.card) : std::string();
    contact.mapped = false;
    contact.empty = false;
    contact.nameBase.reset();
    contact.card.reset();
    contact.uid.clear();
    contact.namingFailure.reset();
    contact.logEntries.clear();
    contact.droppedControls = 0;
    try {
        readContactInto(record, rows_[index], pairs_, reading_);
    } catch (const std::exception& e) {
        contact.logEntries.push_back(mapFailureEntry(e));
        return;
    }
    if (headerHoldsControls_ || holdsControlCharacters(rows_[index])) {
        contact.droppedControls = dropControlCharacters(record);
    }
    if (!cardWriter(options_.format).writesEmptyCards() && recordIsEmpty(record)) {
        contact.empty = true;
        return;
    }
    contact.mapped = true;
    try {
        if (needsUid_) {
            contact.uid = uid::rowUuid(identity ? std::string_view(*identity) : rows_[index],
                                       earlierIdentical);
        }
        renderContactCardInto(buffer, record, contact.uid, options_);
        contact.card = std::move(buffer);
    } catch (const std::exception& e) {
        contact.logEntries.push_back(renderFailureEntry(e));
    }
    if (options_.singleFile) {
        return; // one file for all: no card is named
    }
    try {
        contact.nameBase = contactNameBase(record.named);
    } catch (const std::exception& e) {
        contact.namingFailure = namingFailureEntry(e);
    }
}

bool ContactPipeline::roomFor(std::size_t batch) const {
    // Row r's slot is free again once row r + 1 was handed out.
    const std::size_t lastReused = (batch + 1) * kBatch;
    return lastReused <= kSlots || handedOut_ >= lastReused - kSlots + 1;
}

void ContactPipeline::prepareBatches() {
    std::array<std::uint64_t, kBatch> earlier{};
    std::array<std::optional<std::string>, kBatch> identities;
    ContactRecord record;
    for (;;) {
        std::size_t batch = 0;
        std::size_t begin = 0;
        std::size_t end = 0;
        {
            std::unique_lock lock(mutex_);
            if (closing_ || nextBatch_ >= batchCount_) {
                return;
            }
            batch = nextBatch_++;
            begin = first_ + batch * kBatch;
            end = std::min(begin + kBatch, rows_.size());
            // Identical rows are counted in row order, whichever helper takes
            // them: before the wait below lets the next batch be taken.
            for (std::size_t i = begin; i < end && needsUid_; ++i) {
                auto& identity = identities[i - begin];
                identity = identityValue(rows_[i], options_, reading_.delimiter);
                earlier[i - begin] = identity ? occurrences_.countBeforeCopy(*identity)
                                              : occurrences_.countBefore(rows_[i]);
            }
            if (!roomFor(batch)) {
                ++helpersWaiting_;
                room_.wait(lock, [&] { return closing_ || roomFor(batch); });
                --helpersWaiting_;
                if (closing_) {
                    return;
                }
            }
        }
        for (std::size_t i = begin; i < end; ++i) {
            prepare(i, earlier[i - begin], identities[i - begin], slots_[(i - first_) % kSlots],
                    record);
        }
        const std::lock_guard lock(mutex_);
        readyBatch_[batch % kBatches] = batch;
        if (consumerWaiting_) {
            ready_.notify_one();
        }
    }
}

const PreparedContact& ContactPipeline::next() {
    std::unique_lock lock(mutex_);
    const std::size_t index = handedOut_;
    const std::size_t batch = index / kBatch;
    if (readyBatch_[batch % kBatches] != batch) {
        consumerWaiting_ = true;
        ready_.wait(lock, [&] { return readyBatch_[batch % kBatches] == batch; });
        consumerWaiting_ = false;
    }
    ++handedOut_;
    // Helpers wait for a whole batch of room; wake them when one is free.
    if (helpersWaiting_ > 0 && handedOut_ % kBatch == 1) {
        room_.notify_all();
    }
    return slots_[index % kSlots];
}
