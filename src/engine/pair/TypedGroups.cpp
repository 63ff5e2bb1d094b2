#include "engine/pair/TypedGroups.h"

#include "engine/pair/ColumnMeaning.h"
#include "engine/pair/Vocabulary.h"
#include "engine/pair/Words.h"

#include "engine/Text.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <map>
#include <optional>
#include <string_view>

namespace {

using text::trimmed;

using namespace property;

constexpr std::string_view kValueSeparator = " ::: ";

// What a row's label says of its value: the property it goes to first, with
// the TYPEs it carries as a further value when that one is taken.
struct LabelMeaning {
    Position first;
};

// A TYPE that says nothing of a value's place or use.
bool isPlainType(std::string_view type) {
    return type == types::kInternet[0] || type == types::kVoice[0];
}

// The property a label names for a value of the kind ("Work Fax", "Mobile",
// "* Home", "Profile"); none for a label that names none ("myContacts").
std::optional<LabelMeaning> meaningOf(Kind kind, std::string_view label) {
    label = trimmed(label);
    while (!label.empty() && (label.front() == '*' || label.front() == ' ')) {
        label.remove_prefix(1); // "* " marks the preferred value
    }
    Place place = Place::None;
    Qualifier qualifier = Qualifier::None;
    for (const std::string& word : vocabulary::wordsOf(label)) {
        for (const vocabulary::Word& w : vocabulary::meaningsOf(word)) {
            const vocabulary::Meaning& m = w.meaning;
            if (m.place != Place::None && place == Place::None) {
                place = m.place;
            }
            const bool phoneKind = m.role == vocabulary::Role::PhoneQualifier ||
                                   (m.role == vocabulary::Role::Contact && m.kind == Kind::Phone);
            if (kind == Kind::Phone && phoneKind && qualifier == Qualifier::None) {
                qualifier = m.qualifier;
            }
        }
    }
    if (place == Place::None && qualifier == Qualifier::None) {
        return std::nullopt;
    }
    const Qualifier part = kind == Kind::Address ? Qualifier::Formatted : qualifier;
    if (const auto exact = find(kind, part, place)) {
        return LabelMeaning{*exact};
    }
    if (qualifier != Qualifier::None) {
        for (std::size_t i = 0; i < kTable.size(); ++i) {
            if (kTable[i].kind == kind && kTable[i].qualifier == qualifier) {
                return LabelMeaning{static_cast<Position>(i)};
            }
        }
    }
    return std::nullopt;
}

// The properties an unlabelled value of the kind takes, in order: those that
// are no particular use of it (no fax, no pager), in record order; for
// addresses their blocks.
std::vector<Position> unlabelled(Kind kind) {
    std::vector<Position> order;
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        const Descriptor& d = kTable[i];
        const bool plain = d.qualifier == Qualifier::None || d.qualifier == Qualifier::Second ||
                           d.qualifier == Qualifier::Third ||
                           (kind == Kind::Address && d.qualifier == Qualifier::Formatted);
        if (d.kind == kind && plain) {
            order.push_back(static_cast<Position>(i));
        }
    }
    return order;
}

// The properties to try for a value, in order: a value whose label names a
// use never takes another use's property, only its own and those whose TYPEs
// say nothing (a further e-mail address, another telephone).
std::vector<Position> candidates(Kind kind, const std::optional<LabelMeaning>& meaning) {
    if (!meaning) {
        return unlabelled(kind);
    }
    std::vector<Position> typed = {meaning->first};
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        const auto given = kTable[i].types;
        if (kTable[i].kind == kind && i != meaning->first && !given.empty() &&
            std::all_of(given.begin(), given.end(), isPlainType)) {
            typed.push_back(static_cast<Position>(i));
        }
    }
    return typed;
}

// A further value of the kind, with the TYPEs of the property its label names.
TypedValue furtherValue(Kind kind, const std::optional<LabelMeaning>& meaning) {
    TypedValue value;
    value.kind = valueKindOf(kind);
    if (meaning) {
        const auto given = descriptorOf(meaning->first).types;
        value.types.assign(given.begin(), given.end());
    }
    return value;
}

std::string_view fieldAt(const std::vector<std::string>& fields, const TypedColumn& column) {
    return column.index < fields.size() ? std::string_view(fields[column.index])
                                        : std::string_view();
}

// The values of a field joined by " ::: ", trimmed, empty ones kept in place.
std::vector<std::string_view> valuesOf(std::string_view field) {
    std::vector<std::string_view> values;
    for (;;) {
        const auto at = field.find(kValueSeparator);
        values.push_back(trimmed(field.substr(0, at)));
        if (at == std::string_view::npos) {
            return values;
        }
        field.remove_prefix(at + kValueSeparator.size());
    }
}

void placeValue(std::string_view value, Kind kind, const std::optional<LabelMeaning>& meaning,
                ContactRecord& record) {
    for (const Position p : candidates(kind, meaning)) {
        if (record.named[p].empty()) {
            record.named[p] = value;
            return;
        }
    }
    TypedValue further = furtherValue(kind, meaning);
    further.value = value;
    record.more.push_back(std::move(further));
}

// The block whose formatted address is `first`.
AddressBlock blockOf(Position first) {
    return *addressBlock(descriptorOf(first).place);
}

// True when the parts of the block are all empty.
bool blockIsFree(const AddressBlock& block, const ContactRecord& record) {
    for (const Position p : block.parts()) {
        if (!record.named[p].empty()) {
            return false;
        }
    }
    return true;
}

// One address of a group: its six block parts and its two extra lines
// (extended address, PO box).
struct AddressPieces {
    std::array<std::string_view, kAddressBlockSize> parts;
    std::array<std::string_view, 2> extras;

    bool empty() const {
        return std::all_of(parts.begin(), parts.end(), [](auto p) { return p.empty(); }) &&
               std::all_of(extras.begin(), extras.end(), [](auto p) { return p.empty(); });
    }
};

void placeAddress(const AddressPieces& a, const std::optional<LabelMeaning>& meaning,
                  ContactRecord& record) {
    for (const Position first : candidates(Kind::Address, meaning)) {
        const AddressBlock block = blockOf(first);
        if (!blockIsFree(block, record)) {
            continue;
        }
        for (std::size_t k = 0; k < kAddressBlockSize; ++k) {
            record.named[block.parts()[k]] = a.parts[k];
        }
        std::string& street2 = record.named[block.street2];
        for (const std::string_view extra : a.extras) {
            if (!extra.empty()) {
                street2.append(street2.empty() ? "" : "\n").append(extra);
            }
        }
        return;
    }
    TypedValue further = furtherValue(Kind::Address, meaning);
    further.address[Extended] = a.extras[0];
    further.address[PoBox] = a.extras[1];
    // Without its parts, the formatted address stands in the street component,
    // as the block's own formatted address is written.
    const bool hasParts =
        std::any_of(a.parts.begin() + 1, a.parts.end(), [](auto p) { return !p.empty(); });
    further.address[Street] = hasParts ? a.parts[1] : a.parts[0];
    further.address[City] = a.parts[2];
    further.address[Region] = a.parts[3];
    further.address[PostalCode] = a.parts[4];
    further.address[Country] = a.parts[5];
    record.more.push_back(std::move(further));
}

void spreadAddresses(const std::vector<std::string>& fields, const TypedGroup& group,
                     const std::optional<LabelMeaning>& meaning, ContactRecord& record) {
    std::array<std::vector<std::string_view>, kAddressBlockSize> parts;
    std::array<std::vector<std::string_view>, 2> extras;
    std::size_t count = 0;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        parts[k] = valuesOf(fieldAt(fields, group.address[k]));
        count = std::max(count, parts[k].size());
    }
    for (std::size_t k = 0; k < extras.size(); ++k) {
        extras[k] = valuesOf(fieldAt(fields, group.addressExtra[k]));
        count = std::max(count, extras[k].size());
    }
    const auto pieceOf = [](const std::vector<std::string_view>& values, std::size_t j) {
        return j < values.size() ? values[j] : std::string_view();
    };
    for (std::size_t j = 0; j < count; ++j) {
        AddressPieces address;
        for (std::size_t k = 0; k < parts.size(); ++k) {
            address.parts[k] = pieceOf(parts[k], j);
        }
        for (std::size_t k = 0; k < extras.size(); ++k) {
            address.extras[k] = pieceOf(extras[k], j);
        }
        if (!address.empty()) {
            placeAddress(address, meaning, record);
        }
    }
}

} // namespace

namespace {

// True when a word of the text has the role.
bool says(std::string_view text, vocabulary::Role role) {
    for (const std::string& word : vocabulary::wordsOf(text)) {
        for (const vocabulary::Word& w : vocabulary::meaningsOf(word)) {
            if (w.meaning.role == role) {
                return true;
            }
        }
    }
    return false;
}

// The slot of an address group's part: 0 to 5 for the block's parts (whole,
// street, city, region, postal code, country), 6 and 7 for the extended
// address and the PO box; none for another name.
std::optional<std::size_t> addressSlot(const ColumnMeaning& part) {
    if (!part.isContact(Kind::Address)) {
        return std::nullopt;
    }
    switch (part.qualifier) {
    case Qualifier::Formatted:
        return 0;
    case Qualifier::Street:
        return 1;
    case Qualifier::City:
        return 2;
    case Qualifier::Region:
        return 3;
    case Qualifier::PostalCode:
        return 4;
    case Qualifier::Country:
        return 5;
    case Qualifier::Street2:
        return 6;
    case Qualifier::PoBox:
        return 7;
    default:
        return std::nullopt;
    }
}

} // namespace

std::vector<TypedGroup> detectTypedGroups(const std::vector<std::string>& headers) {
    std::vector<TypedGroup> groups;
    std::map<std::string, std::size_t> groupOfName;
    const auto take = [](TypedColumn& column, std::size_t index, const std::string& header) {
        if (column.index == TypedColumn::kNoColumn) {
            column = {index, header};
        }
    };
    for (std::size_t i = 0; i < headers.size(); ++i) {
        const std::string& header = headers[i];
        const auto dash = header.find(" - ");
        if (dash == std::string::npos) {
            continue;
        }
        // "E-mail 1", "Phone 2", "Website 1", "Address 1": a kind and its number.
        const std::string_view name = std::string_view(header).substr(0, dash);
        const std::string_view part = std::string_view(header).substr(dash + 3);
        const ColumnMeaning group = classifyColumnName(name);
        const bool typed =
            group.role == ColumnRole::Contact &&
            (group.kind == Kind::Email || group.kind == Kind::Phone || group.kind == Kind::Web ||
             (group.kind == Kind::Address && group.qualifier == Qualifier::Formatted));
        if (!typed || group.ordinal == 0 ||
            !std::isdigit(static_cast<unsigned char>(name.back()))) {
            continue;
        }
        const auto [entry, added] = groupOfName.emplace(words::key(name), groups.size());
        if (added) {
            groups.push_back({});
            groups.back().kind = group.kind;
        }
        TypedGroup& g = groups[entry->second];
        const auto slot = addressSlot(classifyColumnName(part));
        if (says(part, vocabulary::Role::GroupLabel)) {
            take(g.label, i, header);
        } else if (g.kind != Kind::Address && says(part, vocabulary::Role::GroupValue)) {
            take(g.value, i, header);
        } else if (g.kind == Kind::Address && slot && *slot < 6) {
            take(g.address[*slot], i, header);
        } else if (g.kind == Kind::Address && slot) {
            take(g.addressExtra[*slot - 6], i, header);
        }
    }
    std::erase_if(groups, [](const TypedGroup& group) {
        const auto present = [](const TypedColumn& c) { return c.index != TypedColumn::kNoColumn; };
        return !present(group.label) ||
               !(present(group.value) ||
                 std::any_of(group.address.begin(), group.address.end(), present) ||
                 std::any_of(group.addressExtra.begin(), group.addressExtra.end(), present));
    });
    return groups;
}

void spreadTypedValues(const std::vector<std::string>& fields,
                       const std::vector<TypedGroup>& groups, ContactRecord& record) {
    if (record.named.size() < kCount) {
        record.named.resize(kCount); // every property a typed value may take
    }
    for (const TypedGroup& group : groups) {
        const auto meaning = meaningOf(group.kind, fieldAt(fields, group.label));
        if (group.kind == Kind::Address) {
            spreadAddresses(fields, group, meaning, record);
            continue;
        }
        for (const std::string_view value : valuesOf(fieldAt(fields, group.value))) {
            if (!value.empty()) {
                placeValue(value, group.kind, meaning, record);
            }
        }
    }
}
