// Every text the reading of real contact exports adds to the error log or
// hands to the shells, in one place so that they read alike and stay put.
#pragma once

#include <string_view>

namespace csvtext {

// Log lines after a file was decoded and cut into rows ("%@" is filled in).
inline constexpr std::string_view kEncodingUsed = "Info: CSV encoding: %@";
inline constexpr std::string_view kDelimiterUsed = "Info: CSV delimiter: %@";
inline constexpr std::string_view kPreambleSkipped = "Info: CSV lines above the header skipped: %d";
inline constexpr std::string_view kFooterSkipped = "Info: CSV lines below the contacts skipped: %d";
inline constexpr std::string_view kWideRows = "Info: CSV rows wider than the header: %d";
inline constexpr std::string_view kShortRows = "Info: CSV rows shorter than the header: %d";
inline constexpr std::string_view kRefused = "Error: CSV file refused: %@";
// Bytes of a UTF-8 file that are no UTF-8: how many, and the rows holding them,
// the first few by number and then how many more.
inline constexpr std::string_view kStrayBytes =
    "Warning: CSV bytes that are not UTF-8, read as Windows-1252: %d, in rows %@";
inline constexpr std::string_view kMoreRows = " and %d more";
// The same for the shells: how many bytes, then "row 4" or "rows 4, 9".
inline constexpr std::string_view kStrayBytesNote =
    "%d bytes that are not UTF-8 were read as Windows-1252, in %@.";
inline constexpr std::string_view kStrayByteNote =
    "%d byte that is not UTF-8 was read as Windows-1252, in %@.";
// The row a quote never closed cut short.
inline constexpr std::string_view kUnclosedQuote = "Warning: CSV row with an unclosed quote: %d";
inline constexpr std::string_view kUnclosedQuoteNote = "row %d has an unclosed quote.";
inline constexpr std::string_view kRow = "row ";
inline constexpr std::string_view kRows = "rows ";

// Names of the encodings, as logged and as the shells show them.
inline constexpr std::string_view kUtf8 = "UTF-8";
inline constexpr std::string_view kUtf16Le = "UTF-16LE";
inline constexpr std::string_view kUtf16Be = "UTF-16BE";
inline constexpr std::string_view kWindows1252 = "Windows-1252";

// Names of the delimiters, as logged; a tab is written as a word.
inline constexpr std::string_view kTabName = "tab";

// Why a file gives no contacts, short enough to follow "Invalid CSV file NAME.".
inline constexpr std::string_view kReasonNotText = "it is not a text file";
inline constexpr std::string_view kReasonEmpty = "it is empty";
inline constexpr std::string_view kReasonNoContacts = "it holds a header row and no contacts";
inline constexpr std::string_view kReasonNotReadable = "it cannot be read: %@";
inline constexpr std::string_view kReasonNotRegular = "not a regular file";
inline constexpr std::string_view kReasonNotInEncoding = "it is not valid %@ text";
inline constexpr std::string_view kReasonFailed = "it could not be loaded: %@";
// The file's size when it was opened and after (or what was read of it).
inline constexpr std::string_view kReasonChanged =
    "it changed while it was read (%d bytes when opened, %d now): load it again once it is saved";

} // namespace csvtext
