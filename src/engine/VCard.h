// Turning one contact record into the text of one vCard 3.0.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The vCard text of a record of 30 values: lines from "begin:vcard" to
// "end:vcard" joined by single line feeds, each written only when the values
// it carries are non-empty. No text when the record cannot be rendered.
std::optional<std::string> vCardRepresentation(const std::vector<std::string>& record,
                                               std::string_view version);

// The same text; throws std::out_of_range for a record of fewer than 30 values.
std::string renderVCard(const std::vector<std::string>& record, std::string_view version);
// The error-log entry for a record that could not be rendered.
std::string renderFailureEntry(const std::exception& e);

namespace vcard {

// A telephone number or postal code that a spreadsheet turned into a number
// with an exponent ("4.47911E+11") written out in full; anything else as it is.
std::string expandExponent(std::string_view value);

} // namespace vcard
