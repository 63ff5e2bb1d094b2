#include "engine/read/CsvLoad.h"

#include "engine/read/Csv.h"
#include "engine/read/CsvTexts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <span>

namespace {

// Lines above the header looked at for a row of several fields.
constexpr std::size_t kPreambleLimit = 10;
// Most rows a footer below the contacts is made of.
constexpr std::size_t kFooterLimit = 10;
// Fewest named columns of a header whose rows of one value may be a footer.
constexpr std::size_t kFooterMinColumns = 3;
// Data rows that must agree with a delimiter the header row suggests.
constexpr std::size_t kRowsToAgree = 5;
// How much of the text the delimiter is detected from: so many lines, at most
// so many bytes. The lines are enough for the rows it looks at (the lines
// above the header, the header, the rows that must agree, a footer) even when
// rows span several lines.
constexpr std::size_t kDetectionPrefix = 1 << 20;
constexpr std::size_t kDetectionLines = 1024;

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

bool isFilled(std::string_view field) {
    return field.find_first_not_of(" \t") != std::string_view::npos;
}

// Number of the row's fields that hold more than blanks and tabs.
std::size_t filledFields(std::string_view row, char delimiter) {
    const auto fields = splitString(row, delimiter).value_or(std::vector<std::string>{});
    return static_cast<std::size_t>(std::count_if(
        fields.begin(), fields.end(), [](const std::string& f) { return isFilled(f); }));
}

// Number of rows before the first row of two filled fields or more, when one
// comes soon enough; 0 otherwise. A spreadsheet pads a title or a note above
// the header with delimiters ("Title;;;;"), so the rows above count their
// filled fields, not their fields.
std::size_t preambleLength(const std::vector<std::string_view>& rows, char delimiter) {
    for (std::size_t i = 0; i < rows.size() && i <= kPreambleLimit; ++i) {
        if (filledFields(rows[i], delimiter) >= 2) {
            return i;
        }
    }
    return 0;
}

// Whether an empty line lies between two rows of one text: the gap between
// them holds more than the line break that ends the first.
bool blankLineBetween(std::string_view first, std::string_view second) {
    const char* from = first.data() + first.size();
    const std::string_view gap(from, static_cast<std::size_t>(second.data() - from));
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < gap.size(); ++i) {
        breaks += gap[i] == '\n' || (gap[i] == '\r' && (i + 1 == gap.size() || gap[i + 1] != '\n'));
    }
    return breaks > 1;
}

// The first field of a row whose other fields are all unfilled; none for a
// row holding a value past its first field.
std::optional<std::string> loneFirstField(std::string_view row, char delimiter) {
    auto fields = splitString(row, delimiter).value_or(std::vector<std::string>{});
    if (fields.empty()) {
        return std::string();
    }
    if (std::any_of(fields.begin() + 1, fields.end(),
                    [](const std::string& f) { return isFilled(f); })) {
        return std::nullopt;
    }
    return std::move(fields.front());
}

// A line that is nobody's name: it holds a digit, or four words or more.
bool readsAsSentence(std::string_view line) {
    if (std::any_of(line.begin(), line.end(),
                    [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return true;
    }
    std::size_t words = 0;
    bool inWord = false;
    for (const char c : line) {
        const bool blank = c == ' ' || c == '\t';
        words += !blank && !inWord;
        inWord = !blank;
    }
    return words >= 4;
}

// Number of rows at the end of a header and its data rows that a report added
// below its contacts ("Grand Totals (18 records)", a copyright line) and that
// are no contacts. Only trailing rows with nothing past their first field, no
// more than a few, below a row of several values, when the header names three
// columns or more; the footer starts at an empty line (or a row of no value)
// whose next line reads as a sentence, so a contact with only a name stays.
std::size_t footerLength(std::span<const std::string_view> rows, char delimiter) {
    if (rows.size() < 3 || filledFields(rows.front(), delimiter) < kFooterMinColumns) {
        return 0;
    }
    // The lines of the trailing rows, the last first.
    std::vector<std::string> lines;
    std::size_t start = rows.size();
    for (; start > 2 && lines.size() < kFooterLimit; --start) {
        auto line = loneFirstField(rows[start - 1], delimiter);
        if (!line) {
            break;
        }
        lines.push_back(std::move(*line));
    }
    if (lines.empty() || filledFields(rows[start - 1], delimiter) < 2) {
        return 0;
    }
    // lines[k] is the line of the k-th row from the end.
    const auto lineOf = [&](std::size_t row) -> const std::string& {
        return lines[rows.size() - 1 - row];
    };
    for (std::size_t i = start; i < rows.size(); ++i) {
        if (isFilled(lineOf(i)) && !blankLineBetween(rows[i - 1], rows[i])) {
            continue;
        }
        std::size_t first = i;
        while (first < rows.size() && !isFilled(lineOf(first))) {
            ++first;
        }
        if (first < rows.size() && readsAsSentence(lineOf(first))) {
            return rows.size() - i;
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
    const std::size_t footer = footerLength(std::span(rows).subspan(header), delimiter);
    const std::size_t end = std::min(rows.size() - footer, header + 1 + kRowsToAgree);
    for (std::size_t i = header + 1; i < end; ++i) {
        const std::size_t onDelimiter = countFields(rows[i], delimiter);
        if (onDelimiter < 2 || onDelimiter < countFields(rows[i], ',')) {
            return 0;
        }
    }
    return fields;
}

char detectDelimiter(std::string_view text) {
    std::string_view start = text.substr(0, kDetectionPrefix);
    std::size_t end = 0;
    for (std::size_t line = 0; line < kDetectionLines && end < start.size(); ++line) {
        end = std::min(start.find('\n', end), start.size()) + 1;
    }
    start = start.substr(0, end);
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
    // The rows and their numbers of fields come from one pass over the text.
    CountedRows counted = countedContactRows(text, layout.delimiter);
    std::vector<std::string_view>& rows = counted.rows;
    layout.preambleLinesSkipped = preambleLength(rows, layout.delimiter);
    const std::span<const std::string_view> afterPreamble =
        std::span(rows).subspan(layout.preambleLinesSkipped);
    layout.footerLinesSkipped = footerLength(afterPreamble, layout.delimiter);
    const std::size_t first = layout.preambleLinesSkipped;
    const std::size_t end = rows.size() - layout.footerLinesSkipped;
    if (end - first >= 2) {
        const std::uint32_t headerFields = counted.fields[first];
        for (std::size_t i = first + 1; i < end; ++i) {
            layout.wideRows += counted.fields[i] > headerFields;
            if (counted.fields[i] < headerFields) {
                ++layout.shortRows;
                if (holdsUnclosedQuote(rows[i], layout.delimiter)) {
                    layout.unclosedQuoteRow = i + 1;
                }
            }
        }
    }
    rows.resize(end);
    rows.erase(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(first));
    layout.rows = std::move(rows);
    return layout;
}

std::vector<std::size_t> rowNumbersAt(std::string_view text, char delimiter,
                                      const std::vector<std::size_t>& places) {
    const auto rows = contactRows(text, delimiter);
    std::vector<std::size_t> numbers;
    std::size_t row = 0;
    for (const std::size_t place : places) {
        const auto endOf = [&](std::size_t r) {
            return static_cast<std::size_t>(rows[r].data() - text.data()) + rows[r].size();
        };
        while (row < rows.size() && endOf(row) <= place) {
            ++row;
        }
        if (row == rows.size()) {
            break;
        }
        const bool inside = static_cast<std::size_t>(rows[row].data() - text.data()) <= place;
        if (inside && (numbers.empty() || numbers.back() != row + 1)) {
            numbers.push_back(row + 1);
        }
    }
    return numbers;
}
