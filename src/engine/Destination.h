// Where a run delivers its cards: a folder of files, one file, or anything a
// shell builds on top of the engine (an address book server). The run calls
// it on the conversion thread, contact by contact, in row order.
#pragma once

#include "engine/ExportOptions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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
        // The run stops at this contact; the cards delivered before it count.
        Stop,
        // The run stops at this contact and nothing of it counts as written:
        // the place the cards should go is not there.
        StopNothingKept,
    };

    virtual ~Destination() = default;

    // Gets ready before the first contact. A destination that cannot be used
    // says so at the first contact, as Stop or StopNothingKept.
    virtual void open() = 0;
    // The card format this destination needs whatever the user chose; none:
    // the user's choice.
    virtual std::optional<CardFormat> requiredFormat() const { return std::nullopt; }
    // Delivers one mapped contact. A stop logs its own cause.
    virtual Outcome deliver(const PreparedContact& contact, std::int64_t rowNumber) = 0;
    // After the last contact, a stop or a cancel: lets go of what it holds.
    virtual void close() = 0;
    // Cards answered Written that the destination, once closed, found it does
    // not hold (a server that took a card and kept nothing): not written after all.
    virtual std::int64_t notKept() const { return 0; }
    // Where the cards are, as the report shows it.
    virtual std::string where() const = 0;
    // Why the run stopped, in words a user can act on; empty when it did not.
    const std::string& stopReason() const { return stopReason_; }
    // The row of the first card answered Written that a later failure lost (a
    // destination that writes several cards at once; notKept() counts them):
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
