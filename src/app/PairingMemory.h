// The pairing of the last few header rows exported, kept with the output
// choices, so that a file with the same column names in the same order can be
// paired again in one step, also after a restart.
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

struct RememberedPairing {
    // The pairs as the pairs file writes them.
    QString pairs;
    // The output choices: the card format by its word, one file, keep unpaired.
    QString format;
    bool singleFile = false;
    bool keepUnpaired = false;
};

namespace pairingMemory {

// How many header rows are remembered; the one used longest ago goes first.
inline constexpr int kHeaderRows = 5;

// The pairing kept for this header row; none when it was not exported.
std::optional<RememberedPairing> recall(const std::vector<std::string>& headers);
// Keeps the pairing for this header row.
void remember(const std::vector<std::string>& headers, const RememberedPairing& pairing);

} // namespace pairingMemory
