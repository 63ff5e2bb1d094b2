// Decoding, row splitting, cleaning and field splitting of any bytes.
#include "FuzzCheck.h"
#include "engine/read/Csv.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text = decodeCsvBytes(std::string(reinterpret_cast<const char*>(data), size));
    if (!text) {
        return 0;
    }
    const auto rows = splitRows(*text);
    FUZZ_CHECK(text->empty() == rows.empty());
    // Rows are pieces of the text, in order, apart from each other.
    const char* end = text->data();
    for (const auto row : rows) {
        FUZZ_CHECK(row.data() >= end);
        FUZZ_CHECK(row.data() + row.size() <= text->data() + text->size());
        end = row.data() + row.size();
    }
    const auto kept = removeEmptyContacts(rows);
    FUZZ_CHECK(kept.size() <= rows.size());
    for (const auto row : kept) {
        // Rows of only commas, or only blanks and tabs, never count as contacts.
        FUZZ_CHECK(row.find_first_not_of(", \t") != std::string_view::npos ||
                   (row.find(',') != std::string_view::npos &&
                    row.find_first_of(" \t") != std::string_view::npos));
        const auto fields = splitString(row);
        FUZZ_CHECK(fields.has_value());
        FUZZ_CHECK(!fields->empty());
        std::size_t length = 0;
        for (const auto& field : *fields) {
            length += field.size();
        }
        // Fields only ever lose quotes and separators.
        FUZZ_CHECK(length + fields->size() - 1 <= row.size());
    }
    return 0;
}
