#include "engine/pair/TypedGroups.h"

#include "engine/pair/HeaderNames.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string_view>

namespace {

constexpr std::string_view kValueSeparator = " ::: ";

// The properties each kind of value may go to, in the order they are filled.
constexpr std::array<std::string_view, 5> kEmailOrder = {
    "EmailAddressWork", "EmailAddressHome", "EmailAddressOther", "EmailAddress2", "EmailAddress3"};
constexpr std::array<std::string_view, 10> kPhoneOrder = {"BusinessTelephoneNumber",
                                                          "HomeTelephoneNumber",
                                                          "MobileNumber",
                                                          "BusinessFaxNumber",
                                                          "HomeFaxNumber",
                                                          "OtherTelephoneNumber",
                                                          "PagerNumber",
                                                          "CarTelephoneNumber",
                                                          "AssistantTelephoneNumber",
                                                          "CompanyMainTelephoneNumber"};
constexpr std::array<std::string_view, 2> kWebsiteOrder = {"BusinessWebPage", "PersonalWebPage"};
// Address blocks: the combined address, then its five parts, as in the record.
constexpr std::array<std::string_view, 2> kAddressOrder = {"BusinessAddress", "HomeAddress"};

// Label (as a headerKey) -> the property it names first.
const std::map<std::string_view, std::string_view> kEmailLabels = {
    {"work", "EmailAddressWork"}, {"home", "EmailAddressHome"}, {"other", "EmailAddressOther"}};
const std::map<std::string_view, std::string_view> kPhoneLabels = {
    {"work", "BusinessTelephoneNumber"},
    {"home", "HomeTelephoneNumber"},
    {"mobile", "MobileNumber"},
    {"cell", "MobileNumber"},
    {"workfax", "BusinessFaxNumber"},
    {"homefax", "HomeFaxNumber"},
    {"other", "OtherTelephoneNumber"},
    {"pager", "PagerNumber"},
    {"workpager", "PagerNumber"},
    {"main", "CompanyMainTelephoneNumber"},
    {"companymain", "CompanyMainTelephoneNumber"},
    {"car", "CarTelephoneNumber"},
    {"assistant", "AssistantTelephoneNumber"}};
const std::map<std::string_view, std::string_view> kWebsiteLabels = {
    {"work", "BusinessWebPage"}, {"home", "PersonalWebPage"},    {"homepage", "PersonalWebPage"},
    {"blog", "PersonalWebPage"}, {"profile", "PersonalWebPage"}, {"personal", "PersonalWebPage"}};
const std::map<std::string_view, std::string_view> kAddressLabels = {{"work", "BusinessAddress"},
                                                                     {"home", "HomeAddress"}};

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
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

// The properties to try for a value of the kind with that label, in order.
std::vector<std::string_view> candidates(TypedKind kind, const std::string& label) {
    const std::map<std::string_view, std::string_view>* labels = nullptr;
    std::vector<std::string_view> order;
    switch (kind) {
    case TypedKind::Email:
        labels = &kEmailLabels;
        order.assign(kEmailOrder.begin(), kEmailOrder.end());
        break;
    case TypedKind::Phone:
        labels = &kPhoneLabels;
        order.assign(kPhoneOrder.begin(), kPhoneOrder.end());
        break;
    case TypedKind::Website:
        labels = &kWebsiteLabels;
        order.assign(kWebsiteOrder.begin(), kWebsiteOrder.end());
        break;
    case TypedKind::Address:
        labels = &kAddressLabels;
        order.assign(kAddressOrder.begin(), kAddressOrder.end());
        break;
    }
    const auto named = labels->find(label);
    if (named == labels->end()) {
        return order; // no type to keep: any free property of the kind
    }
    // A value whose label names a type never takes another type's property:
    // after the named one only the untyped ones are tried.
    std::vector<std::string_view> typed = {named->second};
    const auto untyped =
        kind == TypedKind::Email   ? std::vector<std::string_view>{"EmailAddress2", "EmailAddress3"}
        : kind == TypedKind::Phone ? std::vector<std::string_view>{"OtherTelephoneNumber"}
                                   : std::vector<std::string_view>{};
    typed.insert(typed.end(), untyped.begin(), untyped.end());
    return typed;
}

// The record position of a property that exists and is still empty.
std::optional<std::size_t> freeSlot(std::string_view property,
                                    const std::vector<std::string>& record) {
    const auto position = propertyPosition(property);
    if (!position || *position >= record.size() || !record[*position].empty()) {
        return std::nullopt;
    }
    return position;
}

bool placeValue(std::string_view value, TypedKind kind, const std::string& label,
                std::vector<std::string>& record) {
    for (const std::string_view property : candidates(kind, label)) {
        if (const auto slot = freeSlot(property, record)) {
            record[*slot] = value;
            return true;
        }
    }
    return false;
}

void noteNotCarried(std::vector<std::string>& notCarried, const std::string& header) {
    if (std::find(notCarried.begin(), notCarried.end(), header) == notCarried.end()) {
        notCarried.push_back(header);
    }
}

// The address block's six slots, when all of them exist and are empty.
std::optional<std::size_t> freeAddressBlock(std::string_view block,
                                            const std::vector<std::string>& record) {
    const auto base = propertyPosition(block);
    if (!base || *base + 6 > record.size()) {
        return std::nullopt;
    }
    for (std::size_t k = 0; k < 6; ++k) {
        if (!record[*base + k].empty()) {
            return std::nullopt;
        }
    }
    return base;
}

void spreadAddresses(const std::vector<std::string>& fields, const TypedGroup& group,
                     const std::string& label, std::vector<std::string>& record,
                     std::vector<std::string>& notCarried) {
    std::array<std::vector<std::string_view>, 6> parts;
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
        const TypedColumn* firstFilled = nullptr;
        for (std::size_t k = 0; k < parts.size() && firstFilled == nullptr; ++k) {
            firstFilled = pieceOf(parts[k], j).empty() ? nullptr : &group.address[k];
        }
        for (std::size_t k = 0; k < extras.size() && firstFilled == nullptr; ++k) {
            firstFilled = pieceOf(extras[k], j).empty() ? nullptr : &group.addressExtra[k];
        }
        if (firstFilled == nullptr) {
            continue;
        }
        std::optional<std::size_t> base;
        std::string_view block;
        for (const std::string_view candidate : candidates(TypedKind::Address, label)) {
            if ((base = freeAddressBlock(candidate, record))) {
                block = candidate;
                break;
            }
        }
        if (!base) {
            noteNotCarried(notCarried, firstFilled->header);
            continue;
        }
        for (std::size_t k = 0; k < parts.size(); ++k) {
            record[*base + k] = pieceOf(parts[k], j);
        }
        const std::string street2 = std::string(block) + "Street2";
        for (std::size_t k = 0; k < extras.size(); ++k) {
            const std::string_view extra = pieceOf(extras[k], j);
            if (extra.empty()) {
                continue;
            }
            if (const auto slot = freeSlot(street2, record)) {
                record[*slot] = extra;
            } else {
                noteNotCarried(notCarried, group.addressExtra[k].header);
            }
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

std::vector<std::string> spreadTypedValues(const std::vector<std::string>& fields,
                                           const std::vector<TypedGroup>& groups,
                                           std::vector<std::string>& record) {
    std::vector<std::string> notCarried;
    for (const TypedGroup& group : groups) {
        const std::string label = labelKey(fieldAt(fields, group.label));
        if (group.kind == TypedKind::Address) {
            spreadAddresses(fields, group, label, record, notCarried);
            continue;
        }
        for (const std::string_view value : valuesOf(fieldAt(fields, group.value))) {
            if (!value.empty() && !placeValue(value, group.kind, label, record)) {
                noteNotCarried(notCarried, group.value.header);
            }
        }
    }
    return notCarried;
}
