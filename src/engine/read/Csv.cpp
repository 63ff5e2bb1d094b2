#include "engine/read/Csv.h"

#include "engine/Text.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"

#include <algorithm>
#include <array>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <iterator>
#include <system_error>
#include <thread>

namespace {

// The first place at or after `from` that holds the byte, or the text's size.
// Sixteen bytes are compared at once where the processor has SSE2 (every
// x86-64 does): a scan byte by byte mispredicts the branch that ends each
// field, and most rows have many.
class ByteFinder {
public:
    explicit ByteFinder(char byte)
        : byte_(byte)
#ifdef __SSE2__
          ,
          lanes_(_mm_set1_epi8(byte))
#endif
    {
    }

    std::size_t find(std::string_view text, std::size_t from) const {
        std::size_t i = from;
#ifdef __SSE2__
        for (; i + 16 <= text.size(); i += 16) {
            const __m128i chunk =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
            if (const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lanes_)); mask != 0) {
                return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
            }
        }
#endif
        while (i < text.size() && text[i] != byte_) {
            ++i;
        }
        return i;
    }

private:
    char byte_;
#ifdef __SSE2__
    __m128i lanes_;
#endif
};

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

// Walks the row's fields as splitString reads them: for each, the text
// between its quotes with doubled quotes still doubled (empty for a field
// without quotes) and whatever follows up to the next delimiter. False when a
// quote was never closed, which takes the rest of the row into its field.
template <class Field> bool forEachField(std::string_view row, char delimiter, Field&& field) {
    ClosingQuoteFinder quotes(row);
    const ByteFinder delimiters(delimiter);
    std::size_t i = 0;
    bool closed = true;
    for (;;) {
        std::string_view quoted;
        if (i < row.size() && row[i] == '"') {
            const std::size_t close = quotes.find(i + 1);
            closed = closed && close != std::string_view::npos;
            const std::size_t stop = close == std::string_view::npos ? row.size() : close;
            quoted = row.substr(i + 1, stop - i - 1);
            i = close == std::string_view::npos ? row.size() : close + 1;
        }
        const std::size_t comma = delimiters.find(row, i);
        field(quoted, row.substr(i, comma - i));
        if (comma >= row.size()) {
            return closed;
        }
        i = comma + 1;
    }
}

// Splits the row into `fields`, whose strings keep their buffers from the
// row before: a run splits every row into as many fields.
void splitFields(std::vector<std::string>& fields, std::string_view row, char delimiter) {
    std::size_t count = 0;
    forEachField(row, delimiter, [&](std::string_view quoted, std::string_view tail) {
        if (count == fields.size()) {
            fields.emplace_back();
        }
        std::string& field = fields[count++];
        field.clear();
        // The runs between quotes; of each doubled quote one is kept.
        for (std::size_t k = 0; k < quoted.size();) {
            const std::size_t quote = std::min(quoted.find('"', k), quoted.size());
            field.append(quoted, k, quote - k);
            if (quote < quoted.size()) {
                field += '"';
            }
            k = quote + 2;
        }
        field.append(tail);
    });
    fields.resize(count);
}

std::string_view trimEnds(std::string_view s, std::string_view set) {
    const auto first = s.find_first_not_of(set);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(set);
    return s.substr(first, last - first + 1);
}

// Cuts a text into rows one at a time, each with its number of fields. Every
// call starts at a row's start, so the cutting of a text can be taken up at
// any row start of it and gives the same rows from there.
class RowCutter {
public:
    RowCutter(std::string_view text, char delimiter)
        : text_(text), delimiter_(delimiter), quotes_(text), done_(text.empty()) {
        // Only delimiters, quotes and line breaks matter between fields.
        special_[static_cast<unsigned char>(delimiter)] = true;
        special_['"'] = special_['\r'] = special_['\n'] = true;
    }

    // The next row and its fields; false after the last row.
    bool next(std::string_view& row, std::uint32_t& fields) {
        if (done_) {
            return false;
        }
        if (oneLine(row, fields)) {
            return true;
        }
        const std::size_t size = text_.size();
        std::size_t i = rowStart_;
        fields = 1;
        bool fieldStart = true;
        while (i < size) {
            if (fieldStart && text_[i] == '"') {
                const std::size_t close = quotes_.find(i + 1);
                // A quote never closed holds only the rest of its own line.
                i = close == std::string_view::npos ? endOfLine(text_, i + 1) : close + 1;
                fieldStart = false;
                continue;
            }
            while (i < size && !special_[static_cast<unsigned char>(text_[i])]) {
                ++i;
                fieldStart = false;
            }
            if (i >= size) {
                break;
            }
            const char c = text_[i];
            if (isLineBreak(c)) {
                row = text_.substr(rowStart_, i - rowStart_);
                i += (c == '\r' && i + 1 < size && text_[i + 1] == '\n') ? 2 : 1;
                rowStart_ = i;
                return true;
            }
            // A delimiter starts a field; a quote inside a field is an ordinary character.
            fieldStart = c == delimiter_;
            fields += fieldStart ? 1 : 0;
            ++i;
        }
        row = text_.substr(rowStart_);
        rowStart_ = size;
        done_ = true;
        return true;
    }

    // Where the next row starts; the text's size after the last.
    std::size_t position() const { return done_ ? text_.size() : rowStart_; }
    bool done() const { return done_; }

private:
    // Most rows are one line without quotes or a carriage return inside: such
    // a row is that line, its fields one more than its delimiters, found by a
    // few fast scans instead of byte by byte.
    bool oneLine(std::string_view& row, std::uint32_t& fields) {
        const std::size_t i = rowStart_;
        const std::size_t size = text_.size();
        const char* const data = text_.data();
        if (i >= size) {
            return false;
        }
        // The next line feed is looked for again only once passed, so a text
        // of carriage returns alone is not searched to its end for every row.
        if (!feedKnown_ || nextFeed_ < i) {
            feedKnown_ = true;
            const void* at = std::memchr(data + i, '\n', size - i);
            nextFeed_ = at == nullptr
                            ? size
                            : static_cast<std::size_t>(static_cast<const char*>(at) - data);
        }
        const std::size_t feed = nextFeed_;
        if (feed >= size) {
            return false;
        }
        const std::size_t end = feed > i && data[feed - 1] == '\r' ? feed - 1 : feed;
        if (std::memchr(data + i, '\r', end - i) != nullptr ||
            std::memchr(data + i, '"', end - i) != nullptr) {
            return false;
        }
        row = text_.substr(i, end - i);
        fields = static_cast<std::uint32_t>(1 + std::count(data + i, data + end, delimiter_));
        rowStart_ = feed + 1;
        return true;
    }

    std::string_view text_;
    char delimiter_;
    std::array<bool, 256> special_{};
    ClosingQuoteFinder quotes_;
    std::size_t rowStart_ = 0;
    std::size_t nextFeed_ = 0;
    bool feedKnown_ = false;
    bool done_;
};

// Texts this long have their second half cut on a second thread.
constexpr std::size_t kHalvesFrom = 4 << 20;

// The rows from the first line feed past the middle of a long text on, cut
// on a thread of their own. Where that line feed lies inside a quoted field,
// the first rows are wrong; the cutting of the first half goes on until it
// reaches a row start this one also has, and takes the rest from there.
class SecondHalf {
public:
    SecondHalf(std::string_view text, char delimiter) : text_(text) {
        const std::size_t feed = text.find('\n', text.size() / 2);
        if (text.size() < kHalvesFrom || feed == std::string_view::npos) {
            return;
        }
        cut_ = feed + 1;
        try {
            thread_ = std::thread([this, delimiter]() noexcept {
                try {
                    RowCutter cutter(text_.substr(cut_), delimiter);
                    std::string_view row;
                    std::uint32_t fields = 0;
                    while (cutter.next(row, fields)) {
                        rows_.push_back(row);
                        fields_.push_back(fields);
                    }
                    ok_ = true;
                } catch (const std::exception&) {
                    // Out of memory: the first half's cutting goes on alone.
                }
            });
        } catch (const std::system_error&) {
            cut_ = std::string_view::npos; // no thread to be had
        }
    }
    ~SecondHalf() { wait(); }
    SecondHalf(const SecondHalf&) = delete;
    SecondHalf& operator=(const SecondHalf&) = delete;

    // Where the second half starts; npos when it is not cut apart.
    std::size_t cut() const { return cut_; }
    void wait() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    // After wait(): the index of the row of this half that starts at the
    // place in the text, if one does.
    std::optional<std::size_t> rowAt(std::size_t place) const {
        if (!ok_ || place < cut_) {
            return std::nullopt;
        }
        const char* at = text_.data() + place;
        const auto found =
            std::lower_bound(rows_.begin(), rows_.end(), at,
                             [](std::string_view row, const char* p) { return row.data() < p; });
        if (found == rows_.end() || found->data() != at) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(found - rows_.begin());
    }
    const std::vector<std::string_view>& rows() const { return rows_; }
    const std::vector<std::uint32_t>& fields() const { return fields_; }

private:
    std::string_view text_;
    std::size_t cut_ = std::string_view::npos;
    std::vector<std::string_view> rows_;
    std::vector<std::uint32_t> fields_;
    bool ok_ = false;
    std::thread thread_;
};

} // namespace

std::vector<std::string_view> splitRows(std::string_view text, char delimiter,
                                        std::vector<std::uint32_t>* fieldCounts) {
    std::vector<std::string_view> rows;
    const auto take = [&](std::string_view row, std::uint32_t fields) {
        rows.push_back(row);
        if (fieldCounts != nullptr) {
            fieldCounts->push_back(fields);
        }
    };
    RowCutter cutter(text, delimiter);
    std::string_view row;
    std::uint32_t fields = 0;
    SecondHalf second(text, delimiter);
    if (second.cut() != std::string_view::npos) {
        while (cutter.position() < second.cut() && cutter.next(row, fields)) {
            take(row, fields);
        }
        second.wait();
        while (!cutter.done()) {
            if (const auto k = second.rowAt(cutter.position())) {
                const std::size_t total = rows.size() + second.rows().size() - *k;
                rows.reserve(total);
                if (fieldCounts != nullptr) {
                    fieldCounts->reserve(total);
                }
                for (std::size_t j = *k; j < second.rows().size(); ++j) {
                    take(second.rows()[j], second.fields()[j]);
                }
                return rows;
            }
            if (cutter.next(row, fields)) {
                take(row, fields);
            }
        }
        return rows;
    }
    while (cutter.next(row, fields)) {
        take(row, fields);
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
    std::vector<std::string> fields;
    fields.reserve(32);
    return splitStringInto(fields, row, delimiter) ? std::optional(std::move(fields))
                                                   : std::nullopt;
}

bool splitStringInto(std::vector<std::string>& fields, std::string_view row, char delimiter) {
    try {
        splitFields(fields, row, delimiter);
        return true;
    } catch (const std::exception& e) {
        logOrConsole(text::fill(logtext::kCsvCleanException, text::exceptionName(e), e.what()));
        return false;
    }
}

std::size_t countFields(std::string_view row, char delimiter) {
    std::size_t fields = 0;
    forEachField(row, delimiter, [&fields](std::string_view, std::string_view) { ++fields; });
    return fields;
}

bool holdsUnclosedQuote(std::string_view row, char delimiter) {
    return !forEachField(row, delimiter, [](std::string_view, std::string_view) {});
}

std::vector<std::string_view> contactRows(std::string_view text, char delimiter) {
    return removeEmptyContacts(splitRows(text, delimiter), delimiter);
}

void countFilledFields(std::string_view row, char delimiter, std::vector<std::int64_t>& filled) {
    const auto holdsValue = [](std::string_view part) {
        return part.find_first_not_of(" \t") != std::string_view::npos;
    };
    std::size_t column = 0;
    // A doubled quote inside quotes is a quote of the value: no blank either way.
    forEachField(row, delimiter, [&](std::string_view quoted, std::string_view tail) {
        if ((holdsValue(quoted) || holdsValue(tail)) && column < filled.size()) {
            ++filled[column];
        }
        ++column;
    });
}

CountedRows countedContactRows(std::string_view text, char delimiter) {
    CountedRows counted;
    counted.rows = splitRows(text, delimiter, &counted.fields);
    // The empty rows go in place: no second list as long as the first.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < counted.rows.size(); ++i) {
        if (holdsSomething(counted.rows[i], delimiter)) {
            counted.rows[kept] = counted.rows[i];
            counted.fields[kept] = counted.fields[i];
            ++kept;
        }
    }
    counted.rows.resize(kept);
    counted.fields.resize(kept);
    return counted;
}
