#include "engine/read/Csv.h"

#include "engine/Text.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

std::size_t quoteRun(std::string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && text[end] == '"') {
        ++end;
    }
    return end - at;
}

// Finds the quote that closes a quoted field whose content starts at `from`:
// the last quote of the first run of odd length, doubled quotes being literal.
// A scan that found none leaves a mark, so later scans past it cost only the
// quote run they start in: every whole run after the mark is of even length.
class ClosingQuoteFinder {
public:
    explicit ClosingQuoteFinder(std::string_view text) : text_(text) {}

    std::size_t find(std::size_t from) {
        if (from >= failedFrom_) {
            const std::size_t run = quoteRun(text_, from);
            return run % 2 == 1 ? from + run - 1 : std::string_view::npos;
        }
        std::size_t i = from;
        while (i < text_.size()) {
            const void* hit = std::memchr(text_.data() + i, '"', text_.size() - i);
            if (hit == nullptr) {
                break;
            }
            i = static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data());
            const std::size_t run = quoteRun(text_, i);
            if (run % 2 == 1) {
                return i + run - 1;
            }
            i += run;
        }
        failedFrom_ = from;
        return std::string_view::npos;
    }

private:
    std::string_view text_;
    std::size_t failedFrom_ = std::string_view::npos;
};

bool isLineBreak(char c) {
    return c == '\r' || c == '\n';
}

std::size_t endOfLine(std::string_view text, std::size_t from) {
    const auto at = text.find_first_of("\r\n", from);
    return at == std::string_view::npos ? text.size() : at;
}

std::vector<std::string> splitFields(std::string_view row, char delimiter) {
    std::vector<std::string> fields;
    fields.reserve(32);
    ClosingQuoteFinder quotes(row);
    std::size_t i = 0;
    for (;;) {
        std::string field;
        if (i < row.size() && row[i] == '"') {
            const std::size_t close = quotes.find(i + 1);
            const std::size_t stop = close == std::string_view::npos ? row.size() : close;
            // Copy the runs between quotes; of each doubled quote one is kept.
            std::size_t k = i + 1;
            while (k < stop) {
                const std::size_t quote = std::min(row.find('"', k), stop);
                field.append(row, k, quote - k);
                if (quote < stop) {
                    field += '"';
                }
                k = quote + 2;
            }
            i = close == std::string_view::npos ? row.size() : close + 1;
        }
        // Whatever follows up to the next delimiter belongs to the field as it stands.
        const std::size_t comma = std::min(row.find(delimiter, i), row.size());
        field.append(row, i, comma - i);
        fields.push_back(std::move(field));
        if (comma >= row.size()) {
            return fields;
        }
        i = comma + 1;
    }
}

std::string_view trimEnds(std::string_view s, std::string_view set) {
    const auto first = s.find_first_not_of(set);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(set);
    return s.substr(first, last - first + 1);
}

} // namespace

std::vector<std::string_view> splitRows(std::string_view text, char delimiter) {
    std::vector<std::string_view> rows;
    if (text.empty()) {
        return rows;
    }
    // Only delimiters, quotes and line breaks matter between fields; skip the rest fast.
    std::array<bool, 256> special{};
    special[static_cast<unsigned char>(delimiter)] = true;
    special['"'] = special['\r'] = special['\n'] = true;
    ClosingQuoteFinder quotes(text);
    const std::size_t size = text.size();
    std::size_t rowStart = 0;
    std::size_t i = 0;
    bool fieldStart = true;
    while (i < size) {
        if (fieldStart && text[i] == '"') {
            const std::size_t close = quotes.find(i + 1);
            // A quote never closed holds only the rest of its own line.
            i = close == std::string_view::npos ? endOfLine(text, i + 1) : close + 1;
            fieldStart = false;
            continue;
        }
        while (i < size && !special[static_cast<unsigned char>(text[i])]) {
            ++i;
            fieldStart = false;
        }
        if (i >= size) {
            break;
        }
        const char c = text[i];
        if (isLineBreak(c)) {
            rows.push_back(text.substr(rowStart, i - rowStart));
            i += (c == '\r' && i + 1 < size && text[i + 1] == '\n') ? 2 : 1;
            rowStart = i;
            fieldStart = true;
            continue;
        }
        // A delimiter starts a field; a quote inside a field is an ordinary character.
        fieldStart = c == delimiter;
        ++i;
    }
    rows.push_back(text.substr(rowStart));
    return rows;
}

std::vector<std::string_view> removeEmptyContacts(const std::vector<std::string_view>& rows,
                                                  char delimiter) {
    const std::string_view delimiters(&delimiter, 1);
    std::vector<std::string_view> kept;
    kept.reserve(rows.size());
    for (const std::string_view row : rows) {
        if (!trimEnds(trimEnds(row, delimiters), " \t").empty()) {
            kept.push_back(row);
        }
    }
    return kept;
}

std::optional<std::vector<std::string>> splitString(std::string_view row, char delimiter) {
    try {
        return splitFields(row, delimiter);
    } catch (const std::exception& e) {
        logOrConsole(text::fill(logtext::kCsvCleanException, text::exceptionName(e), e.what()));
        return std::nullopt;
    }
}

std::size_t countFields(std::string_view row, char delimiter) {
    ClosingQuoteFinder quotes(row);
    std::size_t fields = 1;
    std::size_t i = 0;
    while (i < row.size()) {
        if (row[i] == '"') {
            const std::size_t close = quotes.find(i + 1);
            i = close == std::string_view::npos ? row.size() : close + 1;
        }
        const std::size_t next = row.find(delimiter, i);
        if (next == std::string_view::npos) {
            break;
        }
        ++fields;
        i = next + 1;
    }
    return fields;
}

std::vector<std::string_view> contactRows(std::string_view text, char delimiter) {
    return removeEmptyContacts(splitRows(text, delimiter), delimiter);
}
