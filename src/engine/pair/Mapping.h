// Applying the index map to one data row.
#pragma once

#include "engine/pair/TypedGroups.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One entry of the index map as numbers: which property takes which column.
struct IndexPair {
    std::size_t property;
    std::size_t column;
};

// The process-wide index map, read as numbers.
std::vector<IndexPair> parseIndexMap();

// The record of totalProperties values for a row. Throws std::out_of_range when
// the row has fewer fields than a paired column needs.
std::vector<std::string> mapFields(std::string_view row, const std::vector<IndexPair>& pairs);

// The same for a row whose fields are separated by the delimiter; then the
// values of the typed groups go into the properties still free in the record.
// The header names of typed columns whose values found no free property are
// added to notCarried.
std::vector<std::string> mapFields(std::string_view row, const std::vector<IndexPair>& pairs,
                                   char delimiter, const std::vector<TypedGroup>& groups,
                                   std::vector<std::string>& notCarried);

// The error-log entry for a row that could not be mapped.
std::string mapFailureEntry(const std::exception& e);
