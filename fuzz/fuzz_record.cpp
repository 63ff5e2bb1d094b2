// Mapping a data row into a record through an index map made from the input.
#include "FuzzCheck.h"
#include "engine/RunState.h"
#include "engine/pair/Mapping.h"

#include <cstdint>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first bytes choose up to eight pairs; the rest is the row.
    const std::size_t pairsBytes = size < 16 ? size - size % 2 : 16;
    std::vector<IndexPair> pairs;
    for (std::size_t i = 0; i + 1 < pairsBytes; i += 2) {
        pairs.push_back(
            {static_cast<std::size_t>(data[i] % 30), static_cast<std::size_t>(data[i + 1] % 40)});
    }
    const std::string_view row(reinterpret_cast<const char*>(data) + pairsBytes, size - pairsBytes);
    totalProperties = 30;
    try {
        const auto record = mapFields(row, pairs);
        FUZZ_CHECK(record.named.size() == 30);
    } catch (const std::out_of_range&) {
        // A row too short for a paired column: no record at all.
    }
    return 0;
}
