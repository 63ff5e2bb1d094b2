// Values that need more than escaping before they go into a card line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vcard {

// A telephone number or postal code that a spreadsheet turned into a number
// with an exponent ("4.47911E+11") written out in full; anything else as it is.
std::string expandExponent(std::string_view value);
// The same without a copy where nothing changes: the value itself, or
// `buffer` holding the number written out.
std::string_view expandedExponent(std::string_view value, std::string& buffer);

// The categories of a Categories value: groups separated by " ::: " (as
// Google exports them, a comma then belonging to the group's name), else by
// ";" (Outlook), "," (CRM tags, each maybe in quotes), "|" or line breaks, each
// category; blanks around a category and empty ones are left out.
std::vector<std::string_view> categoryGroups(std::string_view value);

} // namespace vcard
