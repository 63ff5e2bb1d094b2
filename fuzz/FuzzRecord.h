// A contact record made from a fuzzer's values: the named properties first,
// missing ones empty, then each further value of the next kind, typed by its
// own text.
#pragma once

#include "engine/cards/ContactRecord.h"
#include "engine/pair/Properties.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The values of a fuzzer's input, separated by 0xFF bytes; with `latin1` each
// other byte is a Latin-1 character written as UTF-8 (the engine only ever
// hands on UTF-8), else the bytes as they are.
inline std::vector<std::string> valuesOf(const std::uint8_t* data, std::size_t size, bool latin1) {
    std::vector<std::string> values(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF) {
            values.emplace_back();
        } else if (!latin1 || data[i] < 0x80) {
            values.back() += static_cast<char>(data[i]);
        } else {
            values.back() += static_cast<char>(0xC0 | (data[i] >> 6));
            values.back() += static_cast<char>(0x80 | (data[i] & 0x3F));
        }
    }
    return values;
}

inline ContactRecord recordOf(const std::vector<std::string>& values) {
    ContactRecord record;
    record.named.resize(property::kCount);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i < property::kCount) {
            record.named[i] = values[i];
            continue;
        }
        TypedValue further;
        further.kind = static_cast<ValueKind>(i % 6);
        further.types = {"HOME", values[i]};
        further.value = values[i];
        further.address.fill(values[i]);
        further.name = further.kind == ValueKind::Date ? "BDAY" : "NOTE";
        record.more.push_back(std::move(further));
    }
    return record;
}
