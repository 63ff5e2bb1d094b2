// Pairing columns with vCard properties by the names common contact exports
// give their columns (Outlook, Google, Thunderbird, LinkedIn, Yahoo, Apple and
// the names people type themselves).
#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// A column and the vCard property it goes with.
struct ColumnPair {
    std::size_t column;
    std::string header;
    std::string property;
};

// What pairing by names found.
struct NamePairing {
    // New pairs, in header order.
    std::vector<ColumnPair> pairs;
    // Recognised columns left unpaired because their property was taken, with
    // that property; the shells log them.
    std::vector<ColumnPair> unpaired;
};

// A header name reduced for comparing: ASCII and Latin-1 letters lower-cased,
// blanks and ASCII punctuation dropped ("E-mail Address" -> "emailaddress").
std::string headerKey(std::string_view header);

// Pairs every recognised column not paired yet (by header name) with its
// property, unless that property is paired already or was taken by an earlier
// column; only property names that exist in property::kNames are answered.
// A header name that occurs twice is looked at only the first time.
NamePairing pairColumnsByName(const std::vector<std::string>& headers,
                              const std::set<std::string>& pairedProperties,
                              const std::set<std::string>& pairedHeaders);
