// Pairing by names over any header row with its first rows: the first line
// is the header, the others the sample, fields split at commas. Every pair
// names its own column and a property that exists, no property and no column
// is taken twice, every joined column lies inside the header, and the rows
// mapped with what pairing found keep the record's shape.
#include "FuzzCheck.h"
#include "engine/RunState.h"
#include "engine/pair/HeaderNames.h"
#include "engine/pair/Properties.h"

#include <cstdint>
#include <set>
#include <stdexcept>
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
    for (const auto& joined : found.joined) {
        FUZZ_CHECK(columns.insert(joined.column).second);
    }
    const std::size_t width = input.headers.size();
    for (const auto& house : found.houseNumbers) {
        FUZZ_CHECK(house.street < width && house.number < width);
    }
    for (const auto& particle : found.particles) {
        FUZZ_CHECK(particle.family < width && particle.particle < width);
    }
    ColumnExtras extras;
    extras.further = found.further;
    extras.birthParts = found.birthParts;
    extras.houseNumbers = found.houseNumbers;
    extras.particles = found.particles;
    std::vector<IndexPair> pairs;
    for (const auto& pair : found.pairs) {
        pairs.push_back({*property::positionOf(pair.property), pair.column});
    }
    totalProperties = static_cast<std::int64_t>(property::kCount);
    for (std::string_view rest(reinterpret_cast<const char*>(data), size); !rest.empty();) {
        const auto end = rest.find('\n');
        try {
            const ContactRecord record = mapFields(rest.substr(0, end), pairs, ',', extras);
            FUZZ_CHECK(record.named.size() == property::kCount);
            for (const auto& value : record.more) {
                FUZZ_CHECK(!value.value.empty() || value.kind == ValueKind::Address);
            }
        } catch (const std::out_of_range&) {
            // a row shorter than a paired column: the run counts it as not written
        }
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return 0;
}
