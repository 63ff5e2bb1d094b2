// Values that need more than escaping before they go into a card line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vcard {

// A telephone number or postal code that a spreadsheet turned into a number
// with an exponent ("4.47911E+11") written out in full; anything else as it is.
std::string expandExponent(std::string_view value);

// The date in ISO 8601 form (YYYY-MM-DD) when the text is one unambiguous
// calendar date: 1990-03-14, 19900314, 1990/03/14, 14.03.1990, 3/14/1990,
// 14/3/1990, 14-03-1990, March 14, 1990, 14 Mar 1990. None otherwise (a
// two-digit year, 03/04/1990, a date that does not exist, anything else).
std::optional<std::string> isoDate(std::string_view value);

// The BDAY value: the ISO date where there is one, else the text as written.
std::string birthdayValue(std::string_view value);

// The categories of a Categories value: groups separated by " ::: " (as
// Google exports them, a comma then belonging to the group's name), else by
// ";" (Outlook) or "," (CRM tags, each maybe in quotes), each become one
// category; blanks around a category and empty ones are left out.
std::vector<std::string_view> categoryGroups(std::string_view value);

} // namespace vcard
