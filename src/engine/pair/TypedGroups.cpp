#include "engine/pair/TypedGroups.h"

#include "engine/pair/HeaderNames.h"

#include "engine/Text.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <string_view>

namespace {

using text::trimmed;

using namespace property;

constexpr std::string_view kValueSeparator = " ::: ";

// What a label says of a value: the property it goes to first, and the vCard
// types it carries as a further value when that property is taken.
struct LabelMeaning {
    std::string_view label; // as a headerKey
    Position first;
    std::initializer_list<std::string_view> types;
};

// A kind of typed value: its properties in the order they are filled, the
// ones that carry no type (where a typed value may go after its own), what
// its labels mean, and the kind of further value it becomes.
struct KindRules {
    std::initializer_list<Position> order;
    std::initializer_list<Position> untyped;
    std::initializer_list<LabelMeaning> labels;
    ValueKind further;
};

const KindRules kEmailRules = {
    {EmailAddressWork, EmailAddressHome, EmailAddressOther, EmailAddress2, EmailAddress3},
    {EmailAddress2, EmailAddress3},
    {{"work", EmailAddressWork, {"WORK"}},
     {"home", EmailAddressHome, {"HOME"}},
     {"other", EmailAddressOther, {}}},
    ValueKind::Email};
const KindRules kPhoneRules = {{BusinessTelephoneNumber, HomeTelephoneNumber, MobileNumber,
                                BusinessFaxNumber, HomeFaxNumber, OtherTelephoneNumber, PagerNumber,
                                CarTelephoneNumber, AssistantTelephoneNumber,
                                CompanyMainTelephoneNumber},
                               {OtherTelephoneNumber},
                               {{"work", BusinessTelephoneNumber, {"WORK"}},
                                {"home", HomeTelephoneNumber, {"HOME"}},
                                {"mobile", MobileNumber, {"CELL"}},
                                {"cell", MobileNumber, {"CELL"}},
                                {"workfax", BusinessFaxNumber, {"WORK", "FAX"}},
                                {"homefax", HomeFaxNumber, {"HOME", "FAX"}},
                                {"other", OtherTelephoneNumber, {"VOICE"}},
                                {"pager", PagerNumber, {"PAGER"}},
                                {"workpager", PagerNumber, {"WORK", "PAGER"}},
                                {"main", CompanyMainTelephoneNumber, {"WORK", "PREF"}},
                                {"companymain", CompanyMainTelephoneNumber, {"WORK", "PREF"}},
                                {"car", CarTelephoneNumber, {"CAR"}},
                                {"assistant", AssistantTelephoneNumber, {"VOICE", "X-ASSISTANT"}}},
                               ValueKind::Telephone};
const KindRules kWebsiteRules = {{BusinessWebPage, PersonalWebPage},
                                 {},
                                 {{"work", BusinessWebPage, {"WORK"}},
                                  {"home", PersonalWebPage, {"HOME"}},
                                  {"homepage", PersonalWebPage, {"HOME"}},
                                  {"blog", PersonalWebPage, {"HOME"}},
                                  {"profile", PersonalWebPage, {"HOME"}},
                                  {"personal", PersonalWebPage, {"HOME"}}},
                                 ValueKind::WebPage};
// Address blocks are named by their first slot, the formatted address.
const KindRules kAddressRules = {
    {BusinessAddress, HomeAddress},
    {},
    {{"work", BusinessAddress, {"WORK"}}, {"home", HomeAddress, {"HOME"}}},
    ValueKind::Address};

const KindRules& rulesOf(TypedKind kind) {
    switch (kind) {
    case TypedKind::Phone:
        return kPhoneRules;
    case TypedKind::Website:
        return kWebsiteRules;
    case TypedKind::Address:
        return kAddressRules;
    case TypedKind::Email:
        break;
    }
    return kEmailRules;
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

std::string labelKey(std::string_view label) {
    label = trimmed(label);
    while (!label.empty() && (label.front() == '*' || label.front() == ' ')) {
        label.remove_prefix(1);
    }
    return headerKey(label);
}

// What the row's label means for a value of the kind; none for a label the
// rules do not know (a value without a type).
const LabelMeaning* meaningOf(const KindRules& rules, const std::string& label) {
    for (const LabelMeaning& meaning : rules.labels) {
        if (meaning.label == label) {
            return &meaning;
        }
    }
    return nullptr;
}

// The properties to try for a value, in order: a value whose label names a
// type never takes another type's property, only its own and the untyped ones.
std::vector<Position> candidates(const KindRules& rules, const LabelMeaning* meaning) {
    if (meaning == nullptr) {
        return rules.order;
    }
    std::vector<Position> typed = {meaning->first};
    typed.insert(typed.end(), rules.untyped.begin(), rules.untyped.end());
    return typed;
}

// A further value of the rules' kind, with the types the label gives.
TypedValue furtherValue(const KindRules& rules, const LabelMeaning* meaning) {
    TypedValue value;
    value.kind = rules.further;
    if (meaning != nullptr) {
        value.types.assign(meaning->types.begin(), meaning->types.end());
    }
    return value;
}

void placeValue(std::string_view value, const KindRules& rules, const LabelMeaning* meaning,
                ContactRecord& record) {
    for (const Position p : candidates(rules, meaning)) {
        if (record.named[p].empty()) {
            record.named[p] = value;
            return;
        }
    }
    TypedValue further = furtherValue(rules, meaning);
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

void placeAddress(const AddressPieces& a, const LabelMeaning* meaning, ContactRecord& record) {
    for (const Position first : candidates(kAddressRules, meaning)) {
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
    TypedValue further = furtherValue(kAddressRules, meaning);
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
                     const LabelMeaning* meaning, ContactRecord& record) {
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

std::vector<TypedGroup> detectTypedGroups(const std::vector<std::string>& headers) {
    static const std::map<std::string_view, TypedKind> kKinds = {{"email", TypedKind::Email},
                                                                 {"phone", TypedKind::Phone},
                                                                 {"website", TypedKind::Website},
                                                                 {"address", TypedKind::Address}};
    static const std::map<std::string_view, std::size_t> kAddressParts = {
        {"formatted", 0}, {"street", 1},     {"city", 2},
        {"region", 3},    {"postalcode", 4}, {"country", 5}};
    static const std::map<std::string_view, std::size_t> kAddressExtras = {{"extendedaddress", 0},
                                                                           {"pobox", 1}};

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
        const std::string name = headerKey(header.substr(0, dash));
        const std::string part = headerKey(header.substr(dash + 3));
        const auto digits = name.find_first_of("0123456789");
        if (digits == std::string::npos || digits == 0 ||
            name.find_first_not_of("0123456789", digits) != std::string::npos) {
            continue;
        }
        const auto kind = kKinds.find(std::string_view(name).substr(0, digits));
        if (kind == kKinds.end()) {
            continue;
        }
        const auto [entry, added] = groupOfName.emplace(name, groups.size());
        if (added) {
            groups.push_back({});
            groups.back().kind = kind->second;
        }
        TypedGroup& group = groups[entry->second];
        if (part == "label" || part == "type") {
            take(group.label, i, header);
        } else if (group.kind != TypedKind::Address && part == "value") {
            take(group.value, i, header);
        } else if (group.kind == TypedKind::Address && kAddressParts.contains(part)) {
            take(group.address[kAddressParts.at(part)], i, header);
        } else if (group.kind == TypedKind::Address && kAddressExtras.contains(part)) {
            take(group.addressExtra[kAddressExtras.at(part)], i, header);
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
        const KindRules& rules = rulesOf(group.kind);
        const LabelMeaning* meaning = meaningOf(rules, labelKey(fieldAt(fields, group.label)));
        if (group.kind == TypedKind::Address) {
            spreadAddresses(fields, group, meaning, record);
            continue;
        }
        for (const std::string_view value : valuesOf(fieldAt(fields, group.value))) {
            if (!value.empty()) {
                placeValue(value, rules, meaning, record);
            }
        }
    }
}
