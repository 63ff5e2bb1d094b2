// Pairing by names over any header row with its first rows: the first line
// is the header, the others the sample, fields split at commas. Every pair
// names its own column and a property that exists, no property and no column
// is taken twice, and carrying the rows' values never loses the record's shape.
#include "FuzzCheck.h"
#include "engine/pair/HeaderNames.h"
#include "engine/pair/Properties.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> fieldsOf(std::string_view line) {
    std::vector<std::string> fields;
    while (true) {
        const auto comma = line.find(',');
        fields.emplace_back(line.substr(0, comma));
        if (comma == std::string_view::npos) {
            return fields;
        }
        line.remove_prefix(comma + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    NamePairingInput input;
    for (bool header = true; !text.empty(); header = false) {
        const auto end = text.find('\n');
        auto fields = fieldsOf(text.substr(0, end));
        if (header) {
            input.headers = std::move(fields);
        } else {
            input.sample.push_back(std::move(fields));
        }
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    const NamePairing found = pairColumnsByName(input);

    std::set<std::string> properties;
    std::set<std::size_t> columns;
    for (const auto& pair : found.pairs) {
        FUZZ_CHECK(pair.column < input.headers.size());
        FUZZ_CHECK(input.headers[pair.column] == pair.header);
        FUZZ_CHECK(property::positionOf(pair.property).has_value());
        FUZZ_CHECK(properties.insert(pair.property).second);
        FUZZ_CHECK(columns.insert(pair.column).second);
    }
    for (const auto& further : found.further) {
        FUZZ_CHECK(further.index < input.headers.size());
        FUZZ_CHECK(columns.insert(further.index).second);
    }
    for (const auto& skipped : found.skipped) {
        FUZZ_CHECK(columns.insert(skipped.column).second);
    }
    for (const auto& row : input.sample) {
        ContactRecord record;
        spreadFurtherValues(row, found.further, record);
        FUZZ_CHECK(record.named.size() == property::kCount);
        for (const auto& value : record.more) {
            FUZZ_CHECK(!value.value.empty() ||
                       value.kind == ValueKind::Address); // no empty further value
        }
    }
    return 0;
}
