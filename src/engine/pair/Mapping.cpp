#include "engine/pair/Mapping.h"

#include "engine/RunState.h"
#include "engine/Text.h"
#include "engine/log/LogTexts.h"
#include "engine/read/Csv.h"

#include "engine/pair/ValueShapes.h"
#include "engine/pair/Vocabulary.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace {

using namespace property;

// Takes off what a spreadsheet put around the row's values ('0612345678,
// ="0612345678").
void unwrapFields(std::vector<std::string>& fields) {
    for (std::string& field : fields) {
        if (!field.empty() && (field.front() == '\'' || field.front() == '=')) {
            const std::string_view inner = shapes::unwrapped(field);
            if (inner.size() != field.size()) {
                field = std::string(inner);
            }
        }
    }
}

std::string_view fieldAt(const std::vector<std::string>& fields, std::size_t column) {
    return column < fields.size() ? text::trimmed(fields[column]) : std::string_view();
}

// Puts each house number into its street, and each particle before its family name.
void joinFields(std::vector<std::string>& fields, const ColumnExtras& extras) {
    for (const HouseNumberColumns& joined : extras.houseNumbers) {
        const std::string_view number = shapes::withoutZeroFraction(fieldAt(fields, joined.number));
        if (joined.street >= fields.size() || number.empty()) {
            continue;
        }
        std::string house(number);
        if (const std::string_view addition = fieldAt(fields, joined.addition); !addition.empty()) {
            house.append(" ").append(addition);
        }
        std::string& street = fields[joined.street];
        const bool first = vocabulary::numberBeforeStreet(fieldAt(fields, joined.country))
                               .value_or(joined.numberFirst);
        street = street.empty() ? house : first ? house + " " + street : street + " " + house;
    }
    for (const FamilyParticle& joined : extras.particles) {
        const std::string_view particle = fieldAt(fields, joined.particle);
        if (joined.family < fields.size() && !particle.empty()) {
            std::string& family = fields[joined.family];
            family = family.empty() ? std::string(particle) : std::string(particle) + " " + family;
        }
    }
}

// Properties whose values a spreadsheet may have saved as decimals.
constexpr std::array<bool, kCount> kNumeric = [] {
    std::array<bool, kCount> numeric{};
    for (std::size_t i = 0; i < kCount; ++i) {
        numeric[i] = kTable[i].kind == Kind::Phone || kTable[i].qualifier == Qualifier::PostalCode;
    }
    return numeric;
}();

// True for a byte that may part several values in one: ",;/|", a line break or ":".
bool isListSeparator(char c) {
    static constexpr auto kTable = [] {
        std::array<bool, 256> table{};
        for (const char separator : std::string_view(",;/|\r\n:")) {
            table[static_cast<unsigned char>(separator)] = true;
        }
        return table;
    }();
    return kTable[static_cast<unsigned char>(c)];
}

// Several telephone numbers or e-mail addresses in one named value: the first
// stays, each other one becomes one more line of the same kind and types.
void spreadSeveralValues(ContactRecord& record) {
    for (std::size_t p = 0; p < record.named.size() && p < kCount; ++p) {
        const Kind kind = kTable[p].kind;
        std::string& value = record.named[p];
        if ((kind != Kind::Phone && kind != Kind::Email) ||
            std::none_of(value.begin(), value.end(), isListSeparator)) {
            continue;
        }
        const std::vector<std::string_view> several = shapes::severalValues(value, kind);
        if (several.size() < 2) {
            continue;
        }
        const auto types = kTable[p].types;
        for (std::size_t i = 1; i < several.size(); ++i) {
            TypedValue more;
            more.kind = valueKindOf(kind);
            more.types.assign(types.begin(), types.end());
            more.value = several[i];
            record.more.push_back(std::move(more));
        }
        value = std::string(several.front());
    }
}

} // namespace

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
    unwrapFields(fields);
    joinFields(fields, extras);
    for (const auto& [p, c] : pairs) {
        if (c >= fields.size()) {
            throw std::out_of_range(text::fill("index %d beyond bounds [0 .. %d]", c,
                                               static_cast<std::int64_t>(fields.size()) - 1));
        }
        record.named.at(p) = p < kCount && kNumeric[p] ? shapes::withoutZeroFraction(fields[c])
                                                       : std::string_view(fields[c]);
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
    spreadSeveralValues(record);
}

std::string mapFailureEntry(const std::exception& e) {
    return text::fill(logtext::kMapException, text::exceptionName(e), e.what());
}
