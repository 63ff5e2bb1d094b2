// Cutting a decoded CSV text as common address books write it (RFC 4180): rows
// end at an unquoted CR LF, CR or LF; a quote opens a quoted field only at the
// start of a field, where delimiters, line breaks and doubled quotes belong to it.
// Reading and decoding the file itself is in CsvLoad.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text cut into rows at every line break outside quotes, keeping empty
// rows; an empty text gives no rows. The rows point into the text. With a
// list for them, each row's number of fields (as countFields gives it) is
// added in the same pass.
std::vector<std::string_view> splitRows(std::string_view text, char delimiter = ',',
                                        std::vector<std::uint32_t>* fieldCounts = nullptr);

// The rows that still hold something once delimiters, then blanks and tabs, are
// trimmed from both ends; the rows themselves are kept untrimmed.
std::vector<std::string_view> removeEmptyContacts(const std::vector<std::string_view>& rows,
                                                  char delimiter = ',');

// The row's fields, quotes removed and doubled quotes made single, nothing
// trimmed; at least one field. No list when the split fails.
std::optional<std::vector<std::string>> splitString(std::string_view row, char delimiter = ',');
// The same into `fields`, reusing its strings; false when the split fails.
bool splitStringInto(std::vector<std::string>& fields, std::string_view row, char delimiter);

// Number of fields the row splits into, as splitString reads it, without
// copying any of them.
std::size_t countFields(std::string_view row, char delimiter);

// True when a quote that opens a field of the row is never closed: the field
// then runs to the row's end, taking the fields after it.
bool holdsUnclosedQuote(std::string_view row, char delimiter);

// Adds one to filled[c] for each field c of the row (below filled.size())
// that holds more than blanks and tabs once split, without copying any.
void countFilledFields(std::string_view row, char delimiter, std::vector<std::int64_t>& filled);

// The non-empty rows of a text: the header first, then one row per contact.
std::vector<std::string_view> contactRows(std::string_view text, char delimiter = ',');

// contactRows with each row's number of fields beside it, from one pass.
struct CountedRows {
    std::vector<std::string_view> rows;
    std::vector<std::uint32_t> fields;
};
CountedRows countedContactRows(std::string_view text, char delimiter);
