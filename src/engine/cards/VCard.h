// Turning one contact record into the text of one vCard 3.0.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The vCard text of a record of property values (at least the first 30; the
// later ones may be missing): lines from "begin:vcard" to
// "end:vcard" joined by single line feeds, each written only when the values
// it carries are non-empty. No text when the record cannot be rendered.
std::optional<std::string> vCardRepresentation(const std::vector<std::string>& record,
                                               std::string_view version);

// The same text; throws std::out_of_range for a record of fewer than 30 values.
std::string renderVCard(const std::vector<std::string>& record, std::string_view version);
// The card readers that follow RFC 2426 to the letter accept: the same lines,
// with BEGIN, VERSION 3.0 and END in upper case, an FN and a five-component N
// on every card, the UID before END, long lines folded, each line ending in
// CR LF. Throws std::out_of_range as renderVCard does.
std::string renderStrictVCard(const std::vector<std::string>& record, std::string_view uid);
// The error-log entry for a record that could not be rendered.
std::string renderFailureEntry(const std::exception& e);

namespace vcard {

// A telephone number or postal code that a spreadsheet turned into a number
// with an exponent ("4.47911E+11") written out in full; anything else as it is.
std::string expandExponent(std::string_view value);

// LF-separated lines as CR LF lines, each cut into lines of at most 75 octets
// (the continuations starting with one blank), never inside a UTF-8 character.
// An empty text is one empty line.
std::string foldLines(std::string_view text);

} // namespace vcard
