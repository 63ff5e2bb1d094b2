#include "engine/pair/FurtherColumns.h"

#include "engine/Text.h"
#include "engine/pair/ValueShapes.h"

#include <algorithm>
#include <map>

namespace {

using text::trimmed;

// Adds one more line to a value.
void addLine(std::string& to, std::string_view line) {
    if (!to.empty()) {
        to += '\n';
    }
    to += line;
}

// The single values of a cell: several e-mail addresses or numbers in one
// cell, each on a line of its own.
std::vector<std::string_view> singleValues(std::string_view cell, ValueKind kind) {
    return shapes::severalValues(cell, propertyKindOf(kind));
}

// True when the record holds the value already: a column that repeats another
// ("Associated Company" beside "Company Name") adds no second line of it.
bool alreadyThere(const ContactRecord& record, ValueKind kind, std::string_view value) {
    return std::find(record.named.begin(), record.named.end(), value) != record.named.end() ||
           std::any_of(record.more.begin(), record.more.end(),
                       [&](const TypedValue& v) { return v.kind == kind && v.value == value; });
}

} // namespace

std::string FurtherColumn::lineName() const {
    switch (use) {
    case Use::AddressPart:
        return std::string(property::lineOf(property::Kind::Address));
    case Use::AddToProperty:
        return std::string(property::nameOf(property));
    case Use::NoteLine:
        return std::string(property::lineOf(property::Kind::Note));
    case Use::Value:
        break;
    }
    return kind == ValueKind::Text || kind == ValueKind::Date
               ? name
               : std::string(property::lineOf(propertyKindOf(kind)));
}

void spreadFurtherValues(const std::vector<std::string>& fields,
                         const std::vector<FurtherColumn>& columns, ContactRecord& record) {
    if (record.named.size() < property::kCount) {
        record.named.resize(property::kCount);
    }
    // The record.more entry of each further address of this row.
    std::map<std::size_t, std::size_t> addressAt;
    for (const FurtherColumn& column : columns) {
        const std::string_view value =
            column.index < fields.size() ? trimmed(fields[column.index]) : std::string_view();
        if (value.empty()) {
            continue;
        }
        switch (column.use) {
        case FurtherColumn::Use::Value:
            for (std::string_view single : singleValues(value, column.kind)) {
                // A spreadsheet's telephone number saved as a decimal ("33612550101.0").
                if (column.kind == ValueKind::Telephone) {
                    single = shapes::withoutZeroFraction(single);
                }
                if (alreadyThere(record, column.kind, single)) {
                    continue;
                }
                TypedValue further;
                further.kind = column.kind;
                further.types = column.types;
                further.name = column.name;
                further.value = single;
                record.more.push_back(std::move(further));
            }
            break;
        case FurtherColumn::Use::AddressPart: {
            auto [at, added] = addressAt.emplace(column.address, record.more.size());
            if (added) {
                TypedValue address;
                address.kind = ValueKind::Address;
                address.types = column.types;
                record.more.push_back(std::move(address));
            }
            addLine(record.more[at->second].address[column.part], value);
            break;
        }
        case FurtherColumn::Use::AddToProperty:
            addLine(record.named[column.property], value);
            break;
        case FurtherColumn::Use::NoteLine:
            addLine(record.named[property::Notes], column.header + ": " + std::string(value));
            break;
        }
    }
}

FurtherColumn noteLineColumn(std::size_t index, const std::string& header) {
    FurtherColumn column;
    column.index = index;
    column.header = header;
    column.use = FurtherColumn::Use::NoteLine;
    return column;
}
