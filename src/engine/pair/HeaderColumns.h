// One column of a header as pairing by names reads it, and the passes that
// read a whole header: what each column is by its name and values, and how
// columns stand together (an address's parts, a house number beside its
// street, a birthday in parts, a family name's particle, whole names).
#pragma once

#include "engine/pair/ColumnMeaning.h"
#include "engine/pair/HeaderNames.h"
#include "engine/pair/ValueShapes.h"
#include "engine/pair/Vocabulary.h"

#include <optional>
#include <string>
#include <vector>

namespace header {

// A column as the plan sees it.
struct Column {
    std::size_t index = 0;
    const std::string* header = nullptr;
    ColumnMeaning meaning;
    // The property a known export gives the name, while it still applies.
    std::optional<vocabulary::ExactName> exact;
    shapes::Profile values;
    std::string basis;
    bool againstWords = false;
    // True when the words of the name gave its place.
    bool placeFromWords = false;
    // True once its values join another column's.
    bool joined = false;
};

// Each column of the input that is not taken, read by its name and values.
std::vector<Column> readColumns(const NamePairingInput& input);

// The parts of an address that say nothing of their place take the place of
// the address they follow ("Private Address", "City", "Postal Code" ...).
void inferPlaces(std::vector<Column>& columns);
// House numbers, and their additions, beside the street they belong to; the
// number goes before the street where `numberFirst` (unless a row's country says).
void findHouseNumbers(std::vector<Column>& columns, NamePairing& result, bool numberFirst);
// A birthday in part columns.
void findBirthParts(std::vector<Column>& columns, NamePairing& result);
// The particle of a family name joins the family name it precedes.
void findParticles(std::vector<Column>& columns, NamePairing& result);
// A given-name column of whole names, in a layout without a family name, is the full name.
void wholeNames(std::vector<Column>& columns);

} // namespace header
