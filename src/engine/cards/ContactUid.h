// UIDs for cards: the same row of the same CSV gets the same UID in every run,
// and no two cards of one run share one.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace uid {

// The SHA-1 digest of the bytes.
std::array<std::uint8_t, 20> sha1(std::string_view bytes);

// A name-based (version 5) UUID in lower-case hex, "xxxxxxxx-xxxx-5xxx-...",
// of the row's text (or of the value that names the contact) and how many
// identical ones came before it in the file.
std::string rowUuid(std::string_view rowText, std::uint64_t earlierIdenticalRows);

// Counts identical rows as a run meets them, for rowUuid.
class RowOccurrences {
public:
    // How many times this exact text was met before. The text must stay valid
    // for the life of the object.
    std::uint64_t countBefore(std::string_view rowText) { return seen_[rowText]++; }
    // The same for a text that need not outlive the call (a column's value).
    std::uint64_t countBeforeCopy(std::string_view text) { return copied_[std::string(text)]++; }
    // Makes room for so many rows at once rather than growing row by row.
    void reserve(std::size_t rows) { seen_.reserve(rows); }

private:
    std::unordered_map<std::string_view, std::uint64_t> seen_;
    std::unordered_map<std::string, std::uint64_t> copied_;
};

} // namespace uid
