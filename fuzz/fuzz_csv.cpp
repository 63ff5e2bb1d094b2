// The reader that runs on every load, from any bytes: decoding in each
// encoding choice (stray bytes in UTF-8 included), delimiter detection, the
// lines above the header and the footer below the contacts, the wide and short
// row counts, then the field splitter on every row.
#include "FuzzCheck.h"
#include "engine/read/Csv.h"
#include "engine/read/CsvLoad.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks the choices, as a user's menu would.
    const auto encoding = static_cast<CsvEncodingChoice>(data[0] % 4);
    const auto delimiter = static_cast<CsvDelimiterChoice>((data[0] / 4) % 5);
    const DecodedCsv decoded =
        decodeCsvText(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), encoding);
    FUZZ_CHECK(decoded.text.has_value() == decoded.failure.empty());
    if (!decoded.text) {
        return 0;
    }
    const std::string& text = *decoded.text;
    FUZZ_CHECK(!text.starts_with("\xEF\xBB\xBF"));
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
