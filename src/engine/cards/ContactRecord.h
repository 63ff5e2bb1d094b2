// One contact as the cards are written from it: a value for each named
// property, and any number of further values of a kind with their types.
#pragma once

#include "engine/cards/Dates.h"
#include "engine/pair/Properties.h"

#include <array>
#include <string>
#include <vector>

// What a further value is; each becomes one more line of its kind.
enum class ValueKind {
    Telephone, // TEL
    Email,     // EMAIL
    Address,   // ADR, from `address`
    WebPage,   // URL
    Date,      // the vCard property in `name` (BDAY)
    Text,      // the vCard property in `name` (NICKNAME, NOTE, TITLE, ...)
};

// The kind of further value a property's kind gives; Text for the kinds
// written as a named property's line ("NOTE", "ORG").
constexpr ValueKind valueKindOf(property::Kind kind) {
    switch (kind) {
    case property::Kind::Phone:
        return ValueKind::Telephone;
    case property::Kind::Email:
        return ValueKind::Email;
    case property::Kind::Address:
        return ValueKind::Address;
    case property::Kind::Web:
        return ValueKind::WebPage;
    case property::Kind::Date:
        return ValueKind::Date;
    default:
        return ValueKind::Text;
    }
}

// The property kind of a further value; Note for Text.
constexpr property::Kind propertyKindOf(ValueKind kind) {
    switch (kind) {
    case ValueKind::Telephone:
        return property::Kind::Phone;
    case ValueKind::Email:
        return property::Kind::Email;
    case ValueKind::Address:
        return property::Kind::Address;
    case ValueKind::WebPage:
        return property::Kind::Web;
    case ValueKind::Date:
        return property::Kind::Date;
    case ValueKind::Text:
        break;
    }
    return property::Kind::Note;
}

// The parts of an address in the order of the ADR line's components.
enum AddressPart : std::size_t {
    PoBox,
    Extended,
    Street,
    City,
    Region,
    PostalCode,
    Country,
    kAddressParts
};

// A value beyond the named properties.
struct TypedValue {
    ValueKind kind = ValueKind::Text;
    // vCard TYPE values, upper case: "WORK", "HOME", "CELL", "FAX", "PREF" ...
    std::vector<std::string> types;
    // The value, for every kind but Address.
    std::string value;
    // The address's parts, for Address.
    std::array<std::string, kAddressParts> address;
    // The vCard property of a Date or Text value ("BDAY", "NOTE" ...).
    std::string name;
};

struct ContactRecord {
    // One value per property position (property::Position); empty where the
    // property is not paired or the row has nothing for it.
    std::vector<std::string> named;
    // Further values, in the order the row gave them.
    std::vector<TypedValue> more;
    // How its dates with day and month either way round are read: the order
    // found for the file's birthday column.
    dates::DateOrder dateOrder = dates::DateOrder::MonthFirst;

    const std::string& operator[](property::Position p) const { return named[p]; }
    std::string& operator[](property::Position p) { return named[p]; }
};
