// Loading a contact export as the programs people use write it: the text
// encoding, the delimiter and the lines above the header are found out here,
// or forced by the user, and whatever makes a file unusable is put in words.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Which encoding the file's bytes are read in; Auto tells them apart.
enum class CsvEncodingChoice { Auto, Utf8, Utf16, Windows1252 };
// Which character separates the fields; Auto finds it from the first rows.
enum class CsvDelimiterChoice { Auto, Comma, Semicolon, Tab, Bar };

// The user's choices for loading one file (step 1); the defaults find out both.
struct CsvLoadOptions {
    CsvEncodingChoice encoding = CsvEncodingChoice::Auto;
    CsvDelimiterChoice delimiter = CsvDelimiterChoice::Auto;
};

// What step 1 found out about the file, for the shells to show.
struct CsvLoadDiagnostics {
    // "UTF-8", "UTF-16LE", "UTF-16BE" or "Windows-1252"; empty when never decoded.
    std::string encoding;
    // ",", ";", "tab" or "|"; empty when the file was refused before.
    std::string delimiter;
    // Lines of one value at most above the header row that were left out.
    std::size_t preambleLinesSkipped = 0;
    // Lines of a report's footer below the contacts that were left out.
    std::size_t footerLinesSkipped = 0;
    // Data rows holding more fields than the header: a wrong delimiter, mostly.
    std::size_t wideRows = 0;
    // Data rows holding fewer fields than the header; a column they lack fails them.
    std::size_t shortRows = 0;
    // What the shells show of a row a quote never closed cut short ("row 812
    // has an unclosed quote."); empty without one.
    std::string unclosedQuoteNote;
    // Why the file gives no contacts; empty when it was loaded.
    std::string refusalReason;
    // Bytes of a UTF-8 file that are no UTF-8 and were read as Windows-1252.
    std::size_t strayBytes = 0;
    // What the shells show of them beside the file ("3 bytes that are not
    // UTF-8 were read as Windows-1252, in rows 4 and 9."); empty without any.
    std::string strayBytesNote;
};

// "auto", "utf-8", "utf-16" or "windows-1252" (any case); none for anything else.
std::optional<CsvEncodingChoice> parseEncodingChoice(std::string_view word);
// "auto", ",", ";", "tab" or "|" (a tab character too); none for anything else.
std::optional<CsvDelimiterChoice> parseDelimiterChoice(std::string_view word);

// A file's text in UTF-8, or why there is none.
struct DecodedCsv {
    std::optional<std::string> text;
    // The encoding the bytes were read in, as logged.
    std::string encoding;
    // Set when there is no text.
    std::string failure;
    // Where in the text of a file read as UTF-8 each byte that was no UTF-8,
    // and was read as Windows-1252, begins; in order.
    std::vector<std::size_t> strayBytes = {};
};

// The bytes as UTF-8 text without a byte-order mark: UTF-8, UTF-16 with a
// byte-order mark, else Windows-1252, unless the choice forces one. Bytes that
// hold any well-formed UTF-8 sequence of several bytes stay UTF-8, each stray
// byte (see strayBytes) read as Windows-1252. Bytes that are no text (NUL bytes, mostly control
// characters) or do not fit a forced UTF-16 give a failure.
DecodedCsv decodeCsvText(std::string bytes, CsvEncodingChoice choice);

// The whole file at the path, decoded as above: the one way the engine reads a
// CSV file. A file that cannot be read gives the system's reason.
DecodedCsv getCsvFileData(const std::string& path, CsvEncodingChoice choice);

// The rows of a decoded text, laid out for the conversion.
struct CsvLayout {
    // The header row first, then one row per contact; the lines above the
    // header are not among them. The rows point into the text.
    std::vector<std::string_view> rows;
    char delimiter = ',';
    std::size_t preambleLinesSkipped = 0;
    std::size_t footerLinesSkipped = 0;
    std::size_t wideRows = 0;
    std::size_t shortRows = 0;
    // The short row that is short for a quote never closed, from 1 as the
    // conversion counts rows; 0 when none is. Any later quote would close it,
    // so there is one at most.
    std::size_t unclosedQuoteRow = 0;
};

// Cuts the text into its non-empty rows with the chosen or detected delimiter,
// leaves out the lines of one value above a header of several and a report's
// footer below the contacts, and counts the data rows wider and shorter than
// the header.
CsvLayout layOutCsv(std::string_view text, CsvDelimiterChoice choice);

// The numbers, from 1 as the conversion counts rows, of the text's non-empty
// rows that hold any of the places (offsets in the text, in order); each once.
std::vector<std::size_t> rowNumbersAt(std::string_view text, char delimiter,
                                      const std::vector<std::size_t>& places);

// The delimiter as logged: ",", ";", "tab" or "|".
std::string delimiterName(char delimiter);
