// Where a run delivers its cards: a folder of files, one file, or anything a
// shell builds on top of the engine (an address book server). The run calls
// it on the conversion thread, contact by contact, in row order; a destination
// that works on several cards at once answers them later, in any order.
#pragma once

#include "engine/ExportOptions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct PreparedContact;

class Destination {
public:
    // What became of one contact's card.
    enum class Outcome {
        // Delivered: counted as written.
        Written,
        // This contact only: counted as not written; the run goes on.
        NotWritten,
        // The destination holds this card already and kept it as it was:
        // counted apart, neither written nor failed.
        AlreadyThere,
        // The destination held this contact's card from an earlier run and
        // took the new one in its place.
        Replaced,
        // The destination holds this contact's card from an earlier run, and
        // it was changed there since: it stays as it is, counted apart.
        KeptChanged,
        // The run stops at this contact; the cards delivered before it count.
        Stop,
        // The run stops at this contact and nothing of it counts as written:
        // the place the cards should go is not there.
        StopNothingKept,
        // On its way: its outcome comes later from collect().
        Pending,
    };

    // A card answered Pending that has come to its outcome (never Pending).
    struct Finished {
        std::int64_t rowNumber = 0;
        Outcome outcome = Outcome::NotWritten;
    };

    // What the destination found once closed, beyond each card's outcome.
    struct Afterwards {
        // Cards answered Written, or Replaced, that it does not hold after
        // all (a server that took a card and kept nothing): not written.
        std::int64_t writtenNotKept = 0;
        std::int64_t replacedNotKept = 0;
        // Cards an earlier run put there that this one no longer makes:
        // removed, or kept because they were changed there since.
        std::int64_t removed = 0;
        std::int64_t earlierKept = 0;
    };

    virtual ~Destination() = default;

    // Gets ready before the first contact. A destination that cannot be used
    // says so at the first contact, as Stop or StopNothingKept.
    virtual void open() = 0;
    // The card format this destination takes when the user chose `chosen`
    // (it may have to ask where the cards go); none: the user's choice. Asked
    // once, after open().
    virtual std::optional<CardFormat> requiredFormat(CardFormat /*chosen*/) { return std::nullopt; }
    // A folder the run may write each card into ahead of its turn, as a file
    // without a name that deliver() then names; empty when it takes card text
    // only. Asked once, after open().
    virtual std::string aheadFolder() const { return {}; }
    // Delivers one mapped contact, or starts to and answers Pending; the
    // contact need not outlive the call. A stop logs its own cause.
    virtual Outcome deliver(const PreparedContact& contact, std::int64_t rowNumber) = 0;
    // The cards answered Pending that have finished since the last call; with
    // `wait`, waits until at least one has, unless none is on its way.
    virtual std::vector<Finished> collect(bool /*wait*/) { return {}; }
    // Every row was delivered and nothing stopped or cancelled the run: the
    // destination may do what needs the whole run's cards (tidy up after an
    // earlier run). Called before close().
    virtual void runCompleted() {}
    // After the last contact, a stop or a cancel, once nothing is on its way:
    // lets go of what it holds.
    virtual void close() = 0;
    // What close() found; nothing for a destination that holds what it took.
    virtual Afterwards afterwards() const { return {}; }
    // Where the cards are, as the report shows it.
    virtual std::string where() const = 0;
    // Why the run stopped, in words a user can act on; empty when it did not.
    const std::string& stopReason() const { return stopReason_; }
    // The row of the first card answered Written that a later failure lost (a
    // destination that writes several cards at once; afterwards() counts them):
    // the run reports its stop there. 0 when none was lost.
    std::int64_t lostFromRow() const { return lostFromRow_; }

protected:
    // Logs the stop at the row with its reason, keeps the reason for the
    // report and answers `outcome`.
    Outcome stopAt(Outcome outcome, std::int64_t rowNumber, std::string_view reason);
    // Keeps the row of the first card a failure lost.
    void lostFrom(std::int64_t rowNumber) { lostFromRow_ = rowNumber; }

private:
    std::string stopReason_;
    std::int64_t lostFromRow_ = 0;
};
