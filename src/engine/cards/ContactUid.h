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
// of the row's text and how many identical rows came before it in the file.
std::string rowUuid(std::string_view rowText, std::uint64_t earlierIdenticalRows);

// Counts identical rows as a run meets them, for rowUuid.
class RowOccurrences {
public:
    // How many times this exact text was met before. The text must stay valid
    // for the life of the object.
    std::uint64_t countBefore(std::string_view rowText) { return seen_[rowText]++; }
    // Makes room for so many rows at once rather than growing row by row.
    void reserve(std::size_t rows) { seen_.reserve(rows); }

private:
    std::unordered_map<std::string_view, std::uint64_t> seen_;
};

} // namespace uid
