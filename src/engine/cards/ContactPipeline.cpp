#include "engine/cards/ContactPipeline.h"

#include "engine/Text.h"
#include "engine/cards/CardLines.h"
#include "engine/cards/CardWriter.h"
#include "engine/cards/ControlCharacters.h"
#include "engine/cards/VCard.h"
#include "engine/files/Output.h"
#include "engine/read/CsvTexts.h"

ContactPipeline::ContactPipeline(const std::vector<std::string_view>& rows, std::size_t first,
                                 std::vector<IndexPair> pairs, RowReading reading,
                                 ExportOptions options)
    : rows_(rows), first_(first), pairs_(std::move(pairs)), reading_(std::move(reading)),
      options_(options), slots_(kSlots) {
    if (first_ < rows_.size()) {
        worker_ = std::thread([this] { prepareAll(); });
    }
}

ContactPipeline::~ContactPipeline() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    room_.notify_all();
    if (worker_.joinable()) {
        worker_.join();
    }
}

std::string renderContactCard(const ContactRecord& record, std::string_view row,
                              std::uint64_t earlierIdenticalRows, const ExportOptions& options) {
    const CardWriter& writer = cardWriter(options.format);
    std::string card =
        writer.write(record, writer.needsUid() ? uid::rowUuid(row, earlierIdenticalRows) : "");
    if (options.singleFile && !card.ends_with('\n')) {
        card += '\n'; // the next card starts on a line of its own
    }
    return card;
}

ContactRecord readContact(std::string_view row, const std::vector<IndexPair>& pairs,
                          const RowReading& reading) {
    ContactRecord record = mapFields(row, pairs, reading.delimiter, reading.extras);
    record.dateOrder = reading.dateOrder;
    // A placeholder is no value: it neither names a card nor keeps it from being empty.
    if (property::Birthday < record.named.size() && !record[property::Birthday].empty() &&
        dates::readDate(record[property::Birthday]).kind == dates::DateKind::Placeholder) {
        record[property::Birthday].clear();
    }
    return record;
}

void ContactPipeline::prepare(std::size_t index, PreparedContact& contact) {
    contact.mapped = false;
    contact.empty = false;
    contact.nameBase.reset();
    contact.card.reset();
    contact.namingFailure.reset();
    contact.logEntries.clear();
    contact.droppedControls = 0;
    ContactRecord record;
    try {
        record = readContact(rows_[index], pairs_, reading_);
    } catch (const std::exception& e) {
        contact.logEntries.push_back(mapFailureEntry(e));
        return;
    }
    contact.droppedControls = dropControlCharacters(record);
    if (!cardWriter(options_.format).writesEmptyCards() && recordIsEmpty(record)) {
        contact.empty = true;
        return;
    }
    contact.mapped = true;
    try {
        const auto earlier =
            cardWriter(options_.format).needsUid() ? occurrences_.countBefore(rows_[index]) : 0;
        contact.card = renderContactCard(record, rows_[index], earlier, options_);
    } catch (const std::exception& e) {
        contact.logEntries.push_back(renderFailureEntry(e));
    }
    try {
        contact.nameBase = contactNameBase(record.named);
    } catch (const std::exception& e) {
        contact.namingFailure = namingFailureEntry(e);
    }
}

void ContactPipeline::prepareAll() {
    for (std::size_t i = first_; i < rows_.size(); ++i) {
        {
            std::unique_lock lock(mutex_);
            // The slot to fill is free once the row kSlots before it was handed
            // back; wait for half the ring, not for every single slot.
            if (produced_ - handedOut_ + 1 >= kSlots) {
                producerWaiting_ = true;
                room_.wait(lock,
                           [this] { return closing_ || produced_ - handedOut_ < kSlots / 2; });
                producerWaiting_ = false;
            }
            if (closing_) {
                return;
            }
        }
        prepare(i, slots_[(i - first_) % kSlots]);
        const std::lock_guard lock(mutex_);
        ++produced_;
        // A waiting writer is woken for a batch of rows, not for every one: a
        // fast writer (one file for all) would otherwise pay a wake-up per row.
        if (consumerWaiting_ && (produced_ - handedOut_ >= kWakeBatch || i + 1 == rows_.size())) {
            ready_.notify_one();
        }
    }
}

const PreparedContact& ContactPipeline::next() {
    std::unique_lock lock(mutex_);
    if (handedOut_ >= produced_) {
        consumerWaiting_ = true;
        ready_.wait(lock, [this] { return handedOut_ < produced_; });
        consumerWaiting_ = false;
    }
    const std::size_t index = handedOut_++;
    if (producerWaiting_ && produced_ - handedOut_ < kSlots / 2) {
        room_.notify_one();
    }
    return slots_[index % kSlots];
}
