// What one export came to: the counts and the folder the report lines show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RunReport {
    // The user stopped the run before every contact was reached.
    bool cancelled = false;
    // Contacts in the file.
    std::int64_t total = 0;
    // vCards written in this run.
    std::int64_t written = 0;
    // The run folder, ending in "/"; empty when it could not be made.
    std::string folder;
    // Cards the destination held already (an address book answering that the
    // card is there); always 0 for files.
    std::int64_t alreadyThere = 0;
    // Cards that took the place of the ones an earlier run put there.
    std::int64_t replaced = 0;
    // Contacts whose card from an earlier run was changed where it is since,
    // and stays as it is.
    std::int64_t keptChanged = 0;
    // Cards an earlier run put there that this one no longer makes: removed,
    // or kept because they were changed there since.
    std::int64_t removed = 0;
    std::int64_t earlierKept = 0;
    // Why the run stopped before its last contact ("No space left on device");
    // empty when it ran to its end or was cancelled.
    std::string stopReason;
    // The contact it stopped at, counted from 1 in file order; 0 when it did not stop.
    std::int64_t stoppedAt = 0;
    // Contacts whose rows went into the card of an earlier row of the same person.
    std::int64_t merged = 0;

    // True when an error ended the run before its last contact.
    bool stopped() const { return stoppedAt > 0; }
    // Contacts not written, those never reached included.
    std::int64_t failed() const {
        return total - written - alreadyThere - replaced - keptChanged - merged;
    }
    // The four report lines as the log and the detailed report show them (the
    // fourth, where the vCards are, only when the run folder was made), and one
    // more when rows were merged: "1,000 rows, 940 contacts: 60 rows merged".
    std::vector<std::string> lines() const;
};
