// What a column's values look like: e-mail addresses, web addresses,
// telephone numbers, dates, yes/no flags, honorifics, countries ... and the
// shapes a spreadsheet gives values when it saves them. Pairing weighs these
// against the words of the column's name; the record takes values out of
// the shapes a spreadsheet put them in.
#pragma once

#include "engine/pair/Properties.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace shapes {

// A value as it was before a spreadsheet saved it: without a ="…" formula
// around it, and without the apostrophe it puts before a number or a date
// ('+44 7700 900123, '1985-04-12). A value with letters after an apostrophe
// keeps it ('Tis).
std::string_view unwrapped(std::string_view value);
// A whole number a spreadsheet saved as a decimal ("4915112345678.0",
// "1983.0") without its zero fraction; any other value as it is.
std::string_view withoutZeroFraction(std::string_view value);

bool isEmail(std::string_view value);
// A web address with its scheme or "www.".
bool isWeb(std::string_view value);
// A web address, also a bare domain with a path ("example.org/team").
bool looksLikeWeb(std::string_view value);
// Digits (6 to 20) with the separators a telephone number is written with.
bool isPhone(std::string_view value);
// A telephone number that cannot be a postal code, a tax number or a record
// number: it starts with an international or a trunk prefix ("+", "00", "0")
// or an area code in brackets.
bool isUnmistakablePhone(std::string_view value);

// The single values of a cell that holds several e-mail addresses or
// telephone numbers, separated by ",", ";", "/", "|", " ::: " or line breaks,
// when every part is one of the kind (Email or Phone; a number of seven digits
// at least); else the cell whole.
std::vector<std::string_view> severalValues(std::string_view cell, property::Kind kind);

// How many of a column's filled values have each shape.
struct Profile {
    std::size_t filled = 0;
    std::size_t email = 0;
    std::size_t web = 0;
    // Web addresses also without their scheme.
    std::size_t looseWeb = 0;
    std::size_t phone = 0;
    std::size_t unmistakablePhone = 0;
    // Values with at least six digits, whatever else they hold.
    std::size_t sixDigits = 0;
    std::size_t date = 0;
    // Dates with a time of day: a record's time stamps.
    std::size_t dateTime = 0;
    std::size_t flag = 0;
    std::size_t honorific = 0;
    std::size_t country = 0;
    // Whole numbers from 1 to 31.
    std::size_t dayOfMonth = 0;
    // Short values that start with a digit ("12", "12a", "25/B").
    std::size_t houseNumber = 0;
    // Two words or more.
    std::size_t severalWords = 0;
    // Numbers a system gives its records: digits alone, or a UUID, or a
    // word joined to digits by "_" ("zcrm_5725767").
    std::size_t recordNumber = 0;

    // True when nearly all (nine in ten) filled values have the shape counted.
    bool nearlyAll(std::size_t count) const { return filled > 0 && count * 10 >= filled * 9; }
    // True when fewer than half of them have it.
    bool few(std::size_t count) const { return count * 2 < filled; }
};

Profile profileOf(const std::vector<std::string_view>& values);

} // namespace shapes
