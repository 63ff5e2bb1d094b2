// Pairing columns with vCard properties by their names and values: the exact
// names of common exports, the words of any other name (the vocabulary), the
// shapes of the column's values, and its place in the header (a house number
// beside its street, a month beside a birth year). What finds no free
// property is carried by its position as further values or note lines, so
// no contact data is dropped; only a CRM's bookkeeping is left out.
#pragma once

#include "engine/cards/Dates.h"
#include "engine/pair/FurtherColumns.h"
#include "engine/pair/Mapping.h"

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
    // What decided it, as the log and the pair table say it.
    std::string basis;
    // True when the column's values overruled the words of its name.
    bool againstWords = false;
};

// A column pairing by names leaves alone, and why.
struct SkippedColumn {
    std::size_t column;
    std::string header;
    enum class Why {
        // An address in one column beside the same address in parts.
        PartsPaired,
        // A CRM's bookkeeping: `basis` says what showed it.
        Bookkeeping,
    } why = Why::PartsPaired;
    std::string basis;
};

// A column whose values join another column's (a house number its street, a
// particle its family name, a birth month the birthday).
struct JoinedColumn {
    std::size_t column;
    std::string header;
    // The column, or the property, it joins.
    std::string into;
    std::string basis;
};

// What pairing by names found.
struct NamePairing {
    // New pairs, in header order.
    std::vector<ColumnPair> pairs;
    // Columns carried by their position, in header order.
    std::vector<FurtherColumn> further;
    std::vector<SkippedColumn> skipped;
    std::vector<JoinedColumn> joined;
    std::optional<dates::BirthParts> birthParts;
    std::vector<HouseNumberColumns> houseNumbers;
    std::vector<FamilyParticle> particles;
};

// What pairing by names looks at.
struct NamePairingInput {
    // The header row.
    std::vector<std::string> headers;
    // The first data rows in fields.
    std::vector<std::vector<std::string>> sample;
    // Properties paired already.
    std::set<std::string> pairedProperties;
    // Columns taken already, by pairs or by other means (typed value groups).
    std::set<std::size_t> takenColumns;
};

// Pairs every column whose name or values tell its meaning with the first
// free property of that meaning, in header order (a column that names its
// place first), and carries the rest of the contact data by position.
NamePairing pairColumnsByName(const NamePairingInput& input);

// The order of day and month the header row's language writes dates in: day
// first unless most of the words it knows are English.
dates::DateOrder headerDateOrder(const std::vector<std::string>& headers);
