// Pairing columns with vCard properties by their names: first the exact names
// of common exports (Outlook, Google, Thunderbird, LinkedIn, Yahoo, Apple),
// then the words of any other name (ColumnKinds), and where a name says
// nothing, the column's values. What finds no free property is carried by its
// position as further values, so no contact data is dropped.
#pragma once

#include "engine/pair/FurtherColumns.h"

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// A column and the vCard property it goes with.
struct ColumnPair {
    std::size_t column;
    std::string header;
    std::string property;
    // What decided it, as the log and the pair table say it.
    std::string basis;
};

// A column pairing by names leaves alone, and why.
struct SkippedColumn {
    std::size_t column;
    std::string header;
    enum class Why {
        // An address in one column beside the same address in parts.
        PartsPaired,
    } why = Why::PartsPaired;
};

// What pairing by names found.
struct NamePairing {
    // New pairs, in header order; each header name at most once.
    std::vector<ColumnPair> pairs;
    // Columns carried by their position, in header order.
    std::vector<FurtherColumn> further;
    std::vector<SkippedColumn> skipped;
};

// What pairing by names looks at.
struct NamePairingInput {
    // The header row.
    std::vector<std::string> headers;
    // The first data rows in fields, for the names that say nothing.
    std::vector<std::vector<std::string>> sample;
    // Properties and header names paired already.
    std::set<std::string> pairedProperties;
    std::set<std::string> pairedHeaders;
    // Columns taken by other means (typed value groups, birthday parts).
    std::set<std::size_t> takenColumns;
};

// A header name reduced for comparing: ASCII and Latin-1 letters lower-cased,
// blanks and ASCII punctuation dropped ("E-mail Address" -> "emailaddress").
std::string headerKey(std::string_view header);

// Pairs every column whose name or values tell its meaning with the first
// free property of that meaning, in header order, and carries the rest of
// the contact data by position. A header name that occurs again is carried:
// pairs are made by name, and a name stands for its leftmost column.
NamePairing pairColumnsByName(const NamePairingInput& input);
