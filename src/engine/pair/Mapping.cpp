#include "engine/pair/Mapping.h"

#include "engine/RunState.h"
#include "engine/Text.h"
#include "engine/log/LogTexts.h"
#include "engine/read/Csv.h"

#include <stdexcept>

ContactRecord mapFields(std::string_view row, const std::vector<IndexPair>& pairs) {
    return mapFields(row, pairs, ',', {});
}

ContactRecord mapFields(std::string_view row, const std::vector<IndexPair>& pairs, char delimiter,
                        const ColumnExtras& extras) {
    ContactRecord record;
    mapFieldsInto(record, row, pairs, delimiter, extras);
    return record;
}

void mapFieldsInto(ContactRecord& record, std::string_view row, const std::vector<IndexPair>& pairs,
                   char delimiter, const ColumnExtras& extras) {
    // Each thread splits its rows into the same strings again.
    thread_local std::vector<std::string> fields;
    if (!splitStringInto(fields, row, delimiter)) {
        throw std::runtime_error("the row could not be split into fields");
    }
    for (std::string& value : record.named) {
        value.clear();
    }
    record.named.resize(static_cast<std::size_t>(totalProperties));
    record.more.clear();
    for (const auto& [p, c] : pairs) {
        if (c >= fields.size()) {
            throw std::out_of_range(text::fill("index %d beyond bounds [0 .. %d]", c,
                                               static_cast<std::int64_t>(fields.size()) - 1));
        }
        record.named.at(p) = fields[c];
    }
    if (extras.birthParts && property::Birthday < record.named.size() &&
        record.named[property::Birthday].empty()) {
        record.named[property::Birthday] = dates::birthdayFromParts(fields, *extras.birthParts);
    }
    if (!extras.groups.empty()) {
        spreadTypedValues(fields, extras.groups, record);
    }
    if (!extras.further.empty()) {
        spreadFurtherValues(fields, extras.further, record);
    }
}

std::string mapFailureEntry(const std::exception& e) {
    return text::fill(logtext::kMapException, text::exceptionName(e), e.what());
}
