// The reader that runs on every load, from any bytes: decoding in each
// encoding choice, delimiter detection, the preamble and the wide-row count,
// then the field splitter on every row.
#include "FuzzCheck.h"
#include "engine/read/Csv.h"
#include "engine/read/CsvLoad.h"

#include <cstdint>
#include <string>

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
    FUZZ_CHECK(layout.wideRows == 0 || layout.wideRows < layout.rows.size());
    // Rows are pieces of the text, in order, apart from each other.
    const char* end = text.data();
    for (const auto row : layout.rows) {
        FUZZ_CHECK(row.data() >= end);
        FUZZ_CHECK(row.data() + row.size() <= text.data() + text.size());
        end = row.data() + row.size();
        const auto fields = splitString(row, layout.delimiter);
        FUZZ_CHECK(fields.has_value() && !fields->empty());
        FUZZ_CHECK(fields->size() == countFields(row, layout.delimiter));
        std::size_t length = 0;
        for (const auto& field : *fields) {
            length += field.size();
        }
        // Fields only ever lose quotes and delimiters.
        FUZZ_CHECK(length + fields->size() - 1 <= row.size());
    }
    return 0;
}
