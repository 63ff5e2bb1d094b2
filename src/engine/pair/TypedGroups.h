// Google's typed value groups: an export that types each value by a label
// column of its own ("E-mail 1 - Label" or, older, "E-mail 1 - Type", beside
// "E-mail 1 - Value"; likewise phones, websites and addresses, whose parts
// replace the value). Each row's values go to the properties its own labels
// name, or to the next free property of their kind.
#pragma once

#include "engine/cards/ContactRecord.h"
#include "engine/pair/Properties.h"

#include <array>
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

// One column of a group; index kNoColumn when the header has none.
struct TypedColumn {
    static constexpr std::size_t kNoColumn = std::numeric_limits<std::size_t>::max();
    std::size_t index = kNoColumn;
    std::string header;
};

// One group found in the header.
struct TypedGroup {
    // Email, Phone, Web or Address.
    property::Kind kind = property::Kind::Email;
    TypedColumn label;
    // The value, for all kinds but addresses.
    TypedColumn value;
    // The address parts in the order of an address block of the record:
    // formatted, street, city, region, postal code, country.
    std::array<TypedColumn, 6> address;
    // Extended address and PO box: the address's second street line.
    std::array<TypedColumn, 2> addressExtra;
};

// Every group of the header that has a label column and at least one value
// column, in the order their first columns come.
std::vector<TypedGroup> detectTypedGroups(const std::vector<std::string>& headers);

// Puts the row's typed values into free (still empty) properties of the
// record: first the one the value's own label names, then the others of its
// kind in order; a value that finds none becomes a further value of the
// record with the types its label gives. Several values in one field, joined
// by " ::: ", are taken apart; a leading "* " (the preferred value) is not
// part of a label.
void spreadTypedValues(const std::vector<std::string>& fields,
                       const std::vector<TypedGroup>& groups, ContactRecord& record);
