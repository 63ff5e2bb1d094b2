#include "engine/read/CsvLoad.h"

#include "engine/read/Csv.h"
#include "engine/read/CsvTexts.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

// Lines above the header looked at for a row of several fields.
constexpr std::size_t kPreambleLimit = 10;
// Data rows that must agree with a delimiter the header row suggests.
constexpr std::size_t kRowsToAgree = 5;
// How much of the text the delimiter is detected from.
constexpr std::size_t kDetectionPrefix = 1 << 20;

constexpr std::array<char, 3> kOtherDelimiters = {';', '\t', '|'};

std::string lowerCase(std::string_view word) {
    std::string lower(word);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

char delimiterOf(CsvDelimiterChoice choice) {
    switch (choice) {
    case CsvDelimiterChoice::Semicolon:
        return ';';
    case CsvDelimiterChoice::Tab:
        return '\t';
    case CsvDelimiterChoice::Bar:
        return '|';
    case CsvDelimiterChoice::Auto:
    case CsvDelimiterChoice::Comma:
        break;
    }
    return ',';
}

// Number of single-field rows before the first row of several fields, when
// one comes soon enough; 0 otherwise.
std::size_t preambleLength(const std::vector<std::string_view>& rows, char delimiter) {
    for (std::size_t i = 0; i < rows.size() && i <= kPreambleLimit; ++i) {
        if (countFields(rows[i], delimiter) >= 2) {
            return i;
        }
    }
    return 0;
}

// The header's number of fields on the delimiter, when it splits into more
// fields on it than on a comma and the first data rows do not say otherwise;
// 0 when the delimiter does not fit.
std::size_t fitOf(std::string_view text, char delimiter) {
    const auto rows = contactRows(text, delimiter);
    const std::size_t header = preambleLength(rows, delimiter);
    if (header >= rows.size()) {
        return 0;
    }
    const std::size_t fields = countFields(rows[header], delimiter);
    if (fields <= countFields(rows[header], ',')) {
        return 0;
    }
    const std::size_t end = std::min(rows.size(), header + 1 + kRowsToAgree);
    for (std::size_t i = header + 1; i < end; ++i) {
        const std::size_t onDelimiter = countFields(rows[i], delimiter);
        if (onDelimiter < 2 || onDelimiter < countFields(rows[i], ',')) {
            return 0;
        }
    }
    return fields;
}

char detectDelimiter(std::string_view text) {
    const std::string_view start = text.substr(0, kDetectionPrefix);
    char best = ',';
    std::size_t bestFields = 0;
    for (const char candidate : kOtherDelimiters) {
        const std::size_t fields = fitOf(start, candidate);
        if (fields > bestFields) {
            best = candidate;
            bestFields = fields;
        }
    }
    return best;
}

} // namespace

std::optional<CsvEncodingChoice> parseEncodingChoice(std::string_view word) {
    const std::string lower = lowerCase(word);
    if (lower == "auto") {
        return CsvEncodingChoice::Auto;
    }
    if (lower == "utf-8") {
        return CsvEncodingChoice::Utf8;
    }
    if (lower == "utf-16") {
        return CsvEncodingChoice::Utf16;
    }
    if (lower == "windows-1252") {
        return CsvEncodingChoice::Windows1252;
    }
    return std::nullopt;
}

std::optional<CsvDelimiterChoice> parseDelimiterChoice(std::string_view word) {
    const std::string lower = lowerCase(word);
    if (lower == "auto") {
        return CsvDelimiterChoice::Auto;
    }
    if (lower == ",") {
        return CsvDelimiterChoice::Comma;
    }
    if (lower == ";") {
        return CsvDelimiterChoice::Semicolon;
    }
    if (lower == "tab" || lower == "\t") {
        return CsvDelimiterChoice::Tab;
    }
    if (lower == "|") {
        return CsvDelimiterChoice::Bar;
    }
    return std::nullopt;
}

std::string delimiterName(char delimiter) {
    return delimiter == '\t' ? std::string(csvtext::kTabName) : std::string(1, delimiter);
}

CsvLayout layOutCsv(std::string_view text, CsvDelimiterChoice choice) {
    CsvLayout layout;
    layout.delimiter =
        choice == CsvDelimiterChoice::Auto ? detectDelimiter(text) : delimiterOf(choice);
    layout.rows = contactRows(text, layout.delimiter);
    layout.preambleLinesSkipped = preambleLength(layout.rows, layout.delimiter);
    layout.rows.erase(layout.rows.begin(), layout.rows.begin() + static_cast<std::ptrdiff_t>(
                                                                     layout.preambleLinesSkipped));
    if (layout.rows.size() >= 2) {
        const std::size_t headerFields = countFields(layout.rows.front(), layout.delimiter);
        layout.wideRows = static_cast<std::size_t>(
            std::count_if(layout.rows.begin() + 1, layout.rows.end(), [&](std::string_view row) {
                return countFields(row, layout.delimiter) > headerFields;
            }));
    }
    return layout;
}
