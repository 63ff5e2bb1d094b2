// A contact record made from a fuzzer's values: the named properties first,
// missing ones empty, then each further value of the next kind, typed by its
// own text.
#pragma once

#include "engine/cards/ContactRecord.h"
#include "engine/pair/Properties.h"

#include <string>
#include <utility>
#include <vector>

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
