// Applying the index map to one data row.
#pragma once

#include "engine/cards/ContactRecord.h"
#include "engine/cards/Dates.h"
#include "engine/pair/FurtherColumns.h"
#include "engine/pair/TypedGroups.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One entry of the index map as numbers: which property takes which column.
struct IndexPair {
    std::size_t property;
    std::size_t column;
};

// A street whose house number, and the addition to it, stand in columns of
// their own: each row's street takes them, in the order the row's country
// writes addresses in (the header's language's where no country says).
struct HouseNumberColumns {
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t street = kNone;
    std::size_t number = kNone;
    std::size_t addition = kNone;
    std::size_t country = kNone;
    bool numberFirst = false;
};

// A family name whose particle ("van der") stands in a column of its own.
struct FamilyParticle {
    std::size_t family;
    std::size_t particle;
};

// What pairing adds to the index map: typed value groups, whose values follow
// each row's own label, columns carried by their position, and columns whose
// values join another's.
struct ColumnExtras {
    std::vector<TypedGroup> groups;
    std::vector<FurtherColumn> further;
    // A birthday in part columns (year, month, day), which fills an empty Birthday.
    std::optional<dates::BirthParts> birthParts;
    std::vector<HouseNumberColumns> houseNumbers;
    std::vector<FamilyParticle> particles;

    bool empty() const { return groups.empty() && further.empty(); }
};

// The record of a row: totalProperties named values. Throws std::out_of_range
// when the row has fewer fields than a paired column needs.
ContactRecord mapFields(std::string_view row, const std::vector<IndexPair>& pairs);

// The same for a row whose fields are separated by the delimiter; then the
// values of the typed groups go into the properties still free in the record,
// or become further values of it, as do the values of the further columns;
// birthday parts fill an empty Birthday.
ContactRecord mapFields(std::string_view row, const std::vector<IndexPair>& pairs, char delimiter,
                        const ColumnExtras& extras);
// The same into `record`, whose strings keep their buffers from the row before.
void mapFieldsInto(ContactRecord& record, std::string_view row, const std::vector<IndexPair>& pairs,
                   char delimiter, const ColumnExtras& extras);

// The error-log entry for a row that could not be mapped.
std::string mapFailureEntry(const std::exception& e);
