// Reading a CSV file as common address books export it (RFC 4180): rows end
// at an unquoted CR LF, CR or LF; a quote opens a quoted field only at the
// start of a field, where commas, line breaks and doubled quotes belong to it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The whole file decoded as UTF-8 without its byte-order mark; no text when it
// cannot be opened, is not a regular file, or is not valid UTF-8.
std::optional<std::string> getCsvFileData(const std::string& path);

// The file's bytes as text: a leading UTF-8 byte-order mark dropped; no text
// when they are not valid UTF-8.
std::optional<std::string> decodeCsvBytes(std::string bytes);

// The text cut into rows at every line break outside quotes, keeping empty
// rows; an empty text gives no rows. The rows point into the text.
std::vector<std::string_view> splitRows(std::string_view text);
// The same with another delimiter than the comma: a quote opens a quoted field
// only right after it.
std::vector<std::string_view> splitRows(std::string_view text, char delimiter);

// The rows that still hold something once commas, then blanks and tabs, are
// trimmed from both ends; the rows themselves are kept untrimmed.
std::vector<std::string_view> removeEmptyContacts(const std::vector<std::string_view>& rows);
// The same for rows whose fields are separated by the delimiter.
std::vector<std::string_view> removeEmptyContacts(const std::vector<std::string_view>& rows,
                                                  char delimiter);

// The row's fields, quotes removed and doubled quotes made single, nothing
// trimmed; at least one field. No list when the split fails.
std::optional<std::vector<std::string>> splitString(std::string_view row);
// The same with another delimiter than the comma.
std::optional<std::vector<std::string>> splitString(std::string_view row, char delimiter);

// The non-empty rows of a text: the header first, then one row per contact.
std::vector<std::string_view> contactRows(std::string_view text);
// The same for fields separated by the delimiter.
std::vector<std::string_view> contactRows(std::string_view text, char delimiter);
