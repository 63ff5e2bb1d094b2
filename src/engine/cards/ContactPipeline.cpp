#include "engine/cards/ContactPipeline.h"

#include "engine/Text.h"
#include "engine/cards/CardLines.h"
#include "engine/cards/CardWriter.h"
#include "engine/cards/ControlCharacters.h"
#include "engine/cards/PhoneForm.h"
#include "engine/cards/VCard.h"
#include "engine/files/Output.h"
#include "engine/pair/ValueShapes.h"
#include "engine/read/Csv.h"
#include "engine/read/CsvTexts.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Cards written ahead wait for the conversion thread to name them one by
// one, the slowest link of such a run: helpers already ahead of it must not
// take its core. Five nice levels below it a helper weighs about a third of
// it, so the scheduler keeps it on a core of its own and the helpers share
// the rest.
void yieldToNaming() {
    // Linux gives each thread its own nice value, at first its creator's; a
    // failure leaves it as it was.
    const auto self = static_cast<id_t>(::gettid());
    errno = 0;
    const int inherited = ::getpriority(PRIO_PROCESS, self);
    if (errno == 0) {
        (void)::setpriority(PRIO_PROCESS, self, std::min(inherited + 5, 19));
    }
}

} // namespace

ContactPipeline::ContactPipeline(const std::vector<std::string_view>& rows, std::size_t first,
                                 std::vector<IndexPair> pairs, RowReading reading,
                                 ExportOptions options, std::shared_ptr<const RowGroups> people,
                                 std::string aheadFolder)
    : rows_(rows), first_(first), pairs_(std::move(pairs)), reading_(std::move(reading)),
      options_(options), people_(std::move(people)), aheadFolder_(std::move(aheadFolder)),
      needsUid_(cardWriter(options.format).needsUid()) {
    if (!aheadFolder_.empty()) {
        batch_ = 64;
        slotCount_ = 256;
        aheadLimit_ = UnnamedCard::aheadLimit();
        writeAhead_ = true;
    }
    slots_.resize(slotCount_);
    readyBatch_.assign(slotCount_ / batch_, SIZE_MAX);
    if (first_ >= rows_.size()) {
        return;
    }
    batchCount_ = (rows_.size() - first_ + batch_ - 1) / batch_;
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
        helpers_.emplace_back([this] {
            if (!aheadFolder_.empty()) {
                yieldToNaming();
            }
            prepareBatches();
        });
    }
}

ContactPipeline::~ContactPipeline() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    room_.notify_all();
    counted_.notify_all();
    for (auto& helper : helpers_) {
        helper.join();
    }
}

std::size_t cleanRecord(ContactRecord& record, bool dropControls, const ExportOptions& options,
                        std::size_t& dropped) {
    if (dropControls) {
        dropped += dropControlCharacters(record);
    }
    return options.phoneForm ? writeTelephonesInternational(record, *options.phoneForm) : 0;
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

void ContactPipeline::prepare(std::size_t index, const uid::RowHash* hash,
                              std::uint64_t earlierIdenticalRows, PreparedContact& contact,
                              ContactRecord& record) {
    // The slot's card buffer, kept from the row it held before.
    std::string buffer = contact.card ? std::move(*contact.card) : std::string();
    contact.mapped = false;
    contact.shortRow = false;
    contact.empty = false;
    contact.nameBase.reset();
    contact.card.reset();
    contact.uid.clear();
    contact.namingFailure.reset();
    contact.logEntries.clear();
    contact.droppedControls = 0;
    contact.phonesLeft = 0;
    contact.merged = false;
    contact.people = nullptr;
    contact.cardFile = UnnamedCard();
    const std::size_t contactIndex = index - first_;
    if (people_ && people_->cardOf[contactIndex] != contactIndex) {
        // Its values are in its person's card; what reading it found is counted here.
        contact.merged = true;
        contact.phonesLeft = people_->phonesLeft[contactIndex];
        contact.droppedControls = people_->droppedControls[contactIndex];
        return;
    }
    try {
        readContactInto(record, rows_[index], pairs_, reading_);
    } catch (const std::out_of_range&) {
        contact.shortRow = true; // the run names the row and why
        return;
    } catch (const std::exception& e) {
        contact.logEntries.push_back(mapFailureEntry(e));
        return;
    }
    contact.phonesLeft =
        cleanRecord(record, headerHoldsControls_ || holdsControlCharacters(rows_[index]), options_,
                    contact.droppedControls);
    if (people_ && !people_->members[contactIndex].empty()) {
        mergePerson(contactIndex, record, contact);
    }
    if (!cardWriter(options_.format).writesEmptyCards() && recordIsEmpty(record)) {
        contact.empty = true;
        return;
    }
    contact.mapped = true;
    try {
        if (hash != nullptr) {
            hash->uuidInto(contact.uid, earlierIdenticalRows);
        }
        renderContactCardInto(buffer, record, contact.uid, options_);
        contact.card = std::move(buffer);
        if (writeAhead_.load(std::memory_order_relaxed)) {
            contact.cardFile = UnnamedCard(aheadFolder_);
            if (contact.cardFile.writeAhead(*contact.card, aheadLimit_) ==
                UnnamedCard::Ahead::Never) {
                writeAhead_.store(false, std::memory_order_relaxed);
            }
        }
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

void ContactPipeline::mergePerson(std::size_t contactIndex, ContactRecord& record,
                                  PreparedContact& contact) const {
    const std::vector<std::size_t>& members = people_->members[contactIndex];
    ContactRecord other;
    for (const std::size_t member : members) {
        if (member == contactIndex) {
            continue;
        }
        // Read before without a failure: each member is a mapped row.
        readContactInto(other, rows_[first_ + member], pairs_, reading_);
        std::size_t dropped = 0;
        cleanRecord(other, true, options_, dropped);
        mergeInto(record, other, people_->labels);
    }
    contact.people = &members;
}

RowGroups findPeople(const std::vector<std::string_view>& rows, std::size_t first,
                     const std::vector<IndexPair>& pairs, const RowReading& reading,
                     const ExportOptions& options) {
    RowGroups people;
    PersonFinder finder;
    ContactRecord record;
    for (std::size_t i = first; i < rows.size(); ++i) {
        std::size_t dropped = 0;
        std::size_t left = 0;
        PersonKeys keys;
        try {
            readContactInto(record, rows[i], pairs, reading);
            left = cleanRecord(record, holdsControlCharacters(rows[i]), options, dropped);
            keys = personKeys(record);
        } catch (const std::exception&) {
            // A row that cannot be read is no one's: the run reports it on its own.
        }
        finder.add(keys);
        people.phonesLeft.push_back(static_cast<std::uint32_t>(left));
        people.droppedControls.push_back(static_cast<std::uint32_t>(dropped));
    }
    people.cardOf = finder.firstOfEach();
    people.members.resize(people.cardOf.size());
    for (std::size_t i = 0; i < people.cardOf.size(); ++i) {
        people.members[people.cardOf[i]].push_back(i);
    }
    for (auto& members : people.members) {
        if (members.size() == 1) {
            members.clear();
        }
    }
    return people;
}

bool ContactPipeline::roomFor(std::size_t batch) const {
    // Row r's slot is free again once row r + 1 was handed out.
    const std::size_t lastReused = (batch + 1) * batch_;
    return lastReused <= slotCount_ || handedOut_ >= lastReused - slotCount_ + 1;
}

void ContactPipeline::prepareBatches() {
    std::vector<std::uint64_t> earlier(batch_);
    std::vector<std::string_view> texts;
    std::vector<uid::RowHash> hashes;
    std::vector<std::uint64_t> fingerprints;
    std::vector<std::optional<std::string>> identities(batch_);
    ContactRecord record;
    for (;;) {
        std::size_t batch = 0;
        std::size_t begin = 0;
        std::size_t end = 0;
        {
            const std::lock_guard lock(mutex_);
            if (closing_ || nextBatch_ >= batchCount_) {
                return;
            }
            batch = nextBatch_++;
            begin = first_ + batch * batch_;
            end = std::min(begin + batch_, rows_.size());
        }
        // Each row's text is hashed once, here, beside the other helpers: for
        // its UID and to tell identical rows apart.
        // With an identity column, its value takes the row's place.
        texts.clear();
        for (std::size_t i = begin; i < end && needsUid_; ++i) {
            identities[i - begin] = identityValue(rows_[i], options_, reading_.delimiter);
            texts.push_back(identities[i - begin] ? std::string_view(*identities[i - begin])
                                                  : rows_[i]);
        }
        uid::RowHash::hashAll(texts, hashes);
        // The table of identical rows is far larger than the cache: its places
        // for this batch are fetched while no lock is held.
        fingerprints.clear();
        for (const uid::RowHash& hash : hashes) {
            fingerprints.push_back(hash.fingerprint());
            occurrences_.prefetch(fingerprints.back());
        }
        std::unique_lock lock(mutex_);
        if (needsUid_) {
            // Identical rows are counted in row order, whichever helper takes them.
            counted_.wait(lock, [&] { return closing_ || countedBatches_ == batch; });
            for (std::size_t i = begin; i < end && !closing_; ++i) {
                const auto& identity = identities[i - begin];
                earlier[i - begin] =
                    identity ? identities_[*identity]++
                             : occurrences_.countBefore(rows_[i], fingerprints[i - begin]);
            }
            ++countedBatches_;
            counted_.notify_all();
        }
        if (!roomFor(batch)) {
            ++helpersWaiting_;
            room_.wait(lock, [&] { return closing_ || roomFor(batch); });
            --helpersWaiting_;
        }
        if (closing_) {
            return;
        }
        lock.unlock();
        for (std::size_t i = begin; i < end; ++i) {
            prepare(i, needsUid_ ? &hashes[i - begin] : nullptr, earlier[i - begin],
                    slots_[(i - first_) % slotCount_], record);
        }
        lock.lock();
        readyBatch_[batch % readyBatch_.size()] = batch;
        if (awaitedBatch_ == batch) {
            ready_.notify_one();
        }
    }
}

const PreparedContact& ContactPipeline::next() {
    std::unique_lock lock(mutex_);
    const std::size_t index = handedOut_;
    const std::size_t batch = index / batch_;
    if (readyBatch_[batch % readyBatch_.size()] != batch) {
        awaitedBatch_ = batch;
        ready_.wait(lock, [&] { return readyBatch_[batch % readyBatch_.size()] == batch; });
        awaitedBatch_ = SIZE_MAX;
    }
    ++handedOut_;
    // Helpers wait for a whole batch of room; wake them when one is free.
    if (helpersWaiting_ > 0 && handedOut_ % batch_ == 1) {
        room_.notify_all();
    }
    return slots_[index % slotCount_];
}
