// The reader that runs on every load, from any bytes: decoding in each
// encoding choice (stray bytes in UTF-8 included), delimiter detection, the
// lines above the header and the footer below the contacts, the wide and short
// row counts, then the field splitter on every row. Half the inputs are made
// into UTF-8 text spoilt by runs of Windows-1252 bytes, as a row pasted from an
// older program spoils a file: its UTF-8 must come through whole.
#include "FuzzCheck.h"
#include "engine/Text.h"
#include "engine/read/Csv.h"
#include "engine/read/CsvLoad.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The bytes as a header line and then, by turns, a piece of UTF-8 text (each
// byte one printable character, from ASCII up to U+24D0) and a run of bytes
// from 0x80 up, each followed by a delimiter or a line break. The UTF-8 pieces
// holding a character beyond ASCII go to `pieces`.
std::string mixedText(const std::uint8_t* data, std::size_t size,
                      std::vector<std::string>& pieces) {
    std::string out = "N,M\n";
    bool utf8 = true;
    for (std::size_t i = 0; i < size;) {
        const std::size_t length = std::min<std::size_t>(data[i] % 16, size - i - 1);
        ++i;
        std::string piece;
        for (std::size_t k = i; k < i + length; ++k) {
            if (!utf8) {
                piece += static_cast<char>(data[k] | 0x80);
            } else {
                appendUtf8(piece, data[k] < 0x80 ? 0x20 + data[k] % 0x5F : 0xA0 + data[k] * 37);
            }
        }
        if (utf8 && piece.size() > length) {
            pieces.push_back(piece);
        }
        out += piece;
        out += i + length < size && data[i + length] % 2 == 0 ? '\n' : ',';
        i += length;
        utf8 = !utf8;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks the choices, as a user's menu would.
    const bool mixed = data[0] >= 128;
    const auto encoding =
        mixed ? CsvEncodingChoice::Auto : static_cast<CsvEncodingChoice>(data[0] % 4);
    const auto delimiter = static_cast<CsvDelimiterChoice>((data[0] / 4) % 5);
    std::vector<std::string> pieces;
    const DecodedCsv decoded =
        decodeCsvText(mixed ? mixedText(data + 1, size - 1, pieces)
                            : std::string(reinterpret_cast<const char*>(data) + 1, size - 1),
                      encoding);
    FUZZ_CHECK(decoded.text.has_value() == decoded.failure.empty());
    if (!decoded.text) {
        FUZZ_CHECK(!mixed);
        return 0;
    }
    const std::string& text = *decoded.text;
    FUZZ_CHECK(text::isValidUtf8(text));
    FUZZ_CHECK(!text.starts_with("\xEF\xBB\xBF"));
    // Any UTF-8 beyond ASCII keeps the file UTF-8, and each piece of it stays as it was.
    FUZZ_CHECK(pieces.empty() || decoded.encoding == "UTF-8");
    std::size_t at = 0;
    for (const auto& piece : pieces) {
        at = text.find(piece, at);
        FUZZ_CHECK(at != std::string::npos);
        at += piece.size();
    }
    const CsvLayout layout = layOutCsv(text, delimiter);
    FUZZ_CHECK(layout.wideRows + layout.shortRows < std::max<std::size_t>(layout.rows.size(), 1));
    // The lines above the header, the header and its data rows and the footer
    // are the text's non-empty rows, each once and in this order.
    const auto all = contactRows(text, layout.delimiter);
    const std::size_t above = layout.preambleLinesSkipped;
    FUZZ_CHECK(above + layout.rows.size() + layout.footerLinesSkipped == all.size());
    for (std::size_t i = 0; i < layout.rows.size(); ++i) {
        FUZZ_CHECK(layout.rows[i].data() == all[above + i].data());
    }
    const auto filled = [&](std::string_view row) {
        std::vector<bool> marks;
        const auto fields = splitString(row, layout.delimiter);
        for (const auto& field : *fields) {
            marks.push_back(field.find_first_not_of(" \t") != std::string::npos);
        }
        return marks;
    };
    for (std::size_t i = 0; i < above; ++i) {
        const auto marks = filled(all[i]);
        FUZZ_CHECK(std::count(marks.begin(), marks.end(), true) <= 1);
    }
    if (layout.footerLinesSkipped > 0) {
        // A footer, and any contacts of one value just above it, hold nothing
        // past the first field of their rows, below a data row of several values.
        std::size_t i = all.size();
        for (; i > above + 1; --i) {
            const auto marks = filled(all[i - 1]);
            if (std::find(marks.begin() + 1, marks.end(), true) != marks.end()) {
                break;
            }
        }
        FUZZ_CHECK(i > above + 1 && i <= above + layout.rows.size());
        const auto last = filled(all[i - 1]);
        FUZZ_CHECK(std::count(last.begin(), last.end(), true) >= 2);
    }
    // Stray bytes are only read in UTF-8, each inside a non-empty row.
    FUZZ_CHECK(decoded.strayBytes.empty() || decoded.encoding == "UTF-8");
    FUZZ_CHECK(std::is_sorted(decoded.strayBytes.begin(), decoded.strayBytes.end()));
    FUZZ_CHECK(decoded.strayBytes.empty() || decoded.strayBytes.back() < text.size());
    const auto strayRows = rowNumbersAt(text, layout.delimiter, decoded.strayBytes);
    FUZZ_CHECK(strayRows.empty() == decoded.strayBytes.empty());
    FUZZ_CHECK(std::adjacent_find(strayRows.begin(), strayRows.end(), std::greater_equal<>()) ==
               strayRows.end());
    FUZZ_CHECK(strayRows.empty() || strayRows.back() <= all.size());
    // Rows are pieces of the text, in order, apart from each other.
    const char* end = text.data();
    for (const auto row : layout.rows) {
        FUZZ_CHECK(row.data() >= end);
        FUZZ_CHECK(row.data() + row.size() <= text.data() + text.size());
        end = row.data() + row.size();
        const auto fields = splitString(row, layout.delimiter);
        FUZZ_CHECK(fields.has_value() && !fields->empty());
        FUZZ_CHECK(fields->size() == countFields(row, layout.delimiter));
        std::vector<std::int64_t> counted(fields->size(), 0);
        countFilledFields(row, layout.delimiter, counted);
        const auto marks = filled(row);
        FUZZ_CHECK(std::equal(marks.begin(), marks.end(), counted.begin(),
                              [](bool mark, std::int64_t n) { return n == (mark ? 1 : 0); }));
        std::size_t length = 0;
        for (const auto& field : *fields) {
            length += field.size();
        }
        // Fields only ever lose quotes and delimiters.
        FUZZ_CHECK(length + fields->size() - 1 <= row.size());
    }
    return 0;
}
