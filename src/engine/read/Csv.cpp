#include "engine/read/Csv.h"

#include "engine/Text.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

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

std::vector<std::string_view> splitRows(std::string_view text, char delimiter,
                                        std::vector<std::uint32_t>* fieldCounts) {
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
    const char* const data = text.data();
    std::size_t rowStart = 0;
    std::size_t i = 0;
    std::size_t nextFeed = 0;
    bool feedKnown = false;
    std::uint32_t fields = 1;
    bool fieldStart = true;
    while (i < size) {
        if (i == rowStart) {
            // Most rows are one line without quotes or a carriage return inside:
            // such a row is that line, its fields one more than its delimiters,
            // found by a few fast scans instead of byte by byte.
            // The next line feed is looked for again only once passed, so a
            // text of carriage returns alone is not searched to its end per row.
            if (!feedKnown || nextFeed < i) {
                feedKnown = true;
                const void* at = std::memchr(data + i, '\n', size - i);
                nextFeed = at == nullptr
                               ? size
                               : static_cast<std::size_t>(static_cast<const char*>(at) - data);
            }
            if (const std::size_t feed = nextFeed; feed < size) {
                const std::size_t end = feed > i && data[feed - 1] == '\r' ? feed - 1 : feed;
                if (std::memchr(data + i, '\r', end - i) == nullptr &&
                    std::memchr(data + i, '"', end - i) == nullptr) {
                    rows.push_back(text.substr(i, end - i));
                    if (fieldCounts != nullptr) {
                        fieldCounts->push_back(static_cast<std::uint32_t>(
                            1 + std::count(data + i, data + end, delimiter)));
                    }
                    i = rowStart = feed + 1;
                    continue;
                }
            }
        }
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
            if (fieldCounts != nullptr) {
                fieldCounts->push_back(fields);
            }
            i += (c == '\r' && i + 1 < size && text[i + 1] == '\n') ? 2 : 1;
            rowStart = i;
            fields = 1;
            fieldStart = true;
            continue;
        }
        // A delimiter starts a field; a quote inside a field is an ordinary character.
        fieldStart = c == delimiter;
        fields += fieldStart ? 1 : 0;
        ++i;
    }
    rows.push_back(text.substr(rowStart));
    if (fieldCounts != nullptr) {
        fieldCounts->push_back(fields);
    }
    return rows;
}

namespace {

bool holdsSomething(std::string_view row, char delimiter) {
    return !trimEnds(trimEnds(row, std::string_view(&delimiter, 1)), " \t").empty();
}

} // namespace

std::vector<std::string_view> removeEmptyContacts(const std::vector<std::string_view>& rows,
                                                  char delimiter) {
    std::vector<std::string_view> kept;
    kept.reserve(rows.size());
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(kept),
                 [delimiter](std::string_view row) { return holdsSomething(row, delimiter); });
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

CountedRows countedContactRows(std::string_view text, char delimiter) {
    CountedRows counted;
    std::vector<std::uint32_t> fields;
    const std::vector<std::string_view> rows = splitRows(text, delimiter, &fields);
    counted.rows.reserve(rows.size());
    counted.fields.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (holdsSomething(rows[i], delimiter)) {
            counted.rows.push_back(rows[i]);
            counted.fields.push_back(fields[i]);
        }
    }
    return counted;
}
