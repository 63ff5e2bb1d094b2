#include "engine/cards/MergeRows.h"

#include "engine/Text.h"
#include "engine/cards/CardLines.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>

using namespace property;

namespace {

std::string lowerCase(std::string_view text) {
    std::string out(text::trimmed(text));
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return out;
}

std::string digitsOf(std::string_view text) {
    std::string out;
    std::copy_if(text.begin(), text.end(), std::back_inserter(out),
                 [](char c) { return c >= '0' && c <= '9'; });
    return out;
}

// True when two values of a kind are the same: e-mail addresses in any letter
// case, telephone numbers by their digits, anything else as written.
bool sameValue(ValueKind kind, std::string_view a, std::string_view b) {
    switch (kind) {
    case ValueKind::Email:
        return lowerCase(a) == lowerCase(b);
    case ValueKind::Telephone: {
        const std::string digits = digitsOf(a);
        return digits.empty() ? text::trimmed(a) == text::trimmed(b) : digits == digitsOf(b);
    }
    default:
        return text::trimmed(a) == text::trimmed(b);
    }
}

// True when the record holds the value among those of its kind, named or further.
bool holds(const ContactRecord& r, ValueKind kind, std::string_view value) {
    const Kind propertyKind = propertyKindOf(kind);
    for (std::size_t p = 0; p < r.named.size() && p < kCount; ++p) {
        if (kTable[p].kind == propertyKind && !r.named[p].empty() &&
            sameValue(kind, r.named[p], value)) {
            return true;
        }
    }
    return std::any_of(r.more.begin(), r.more.end(), [&](const TypedValue& v) {
        return v.kind == kind && sameValue(kind, v.value, value);
    });
}

// Adds a value the record lacks: into the property's place where that is
// empty, else as one more value of its kind with the types.
void addValue(ContactRecord& r, ValueKind kind, std::span<const std::string_view> types,
              const std::string& value, std::optional<Position> place) {
    if (holds(r, kind, value)) {
        return;
    }
    if (place && r.named[*place].empty()) {
        r.named[*place] = value;
        return;
    }
    TypedValue more;
    more.kind = kind;
    more.types.assign(types.begin(), types.end());
    more.value = value;
    r.more.push_back(std::move(more));
}

// Adds the line to the note unless the note has it.
void addNoteLine(std::string& note, std::string_view line) {
    std::string_view rest = note;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        if (rest.substr(0, end) == line) {
            return;
        }
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    note.append(note.empty() ? "" : "\n").append(line);
}

// The address of a place as the parts of an ADR line; all empty without one.
std::array<std::string, kAddressParts> addressOf(const ContactRecord& r, const AddressBlock& b) {
    const auto part = [&r](Position p) -> const std::string& { return namedValue(r, p); };
    std::string street = part(b.street);
    if (!part(b.street2).empty()) {
        street.append(street.empty() ? "" : "\n").append(part(b.street2));
    }
    std::array<std::string, kAddressParts> parts{
        "", "", street, part(b.city), part(b.region), part(b.postalCode), part(b.country)};
    if (std::all_of(parts.begin(), parts.end(), [](const std::string& s) { return s.empty(); })) {
        parts[Street] = part(b.formatted);
    }
    return parts;
}

bool isEmpty(const std::array<std::string, kAddressParts>& address) {
    return std::all_of(address.begin(), address.end(),
                       [](const std::string& s) { return s.empty(); });
}

// Adds the address of one of the later row's places that the record lacks.
void addAddress(ContactRecord& r, const ContactRecord& later, Place place) {
    const AddressBlock block = *addressBlock(place);
    const auto address = addressOf(later, block);
    if (isEmpty(address)) {
        return;
    }
    const auto mine = addressOf(r, block);
    if (isEmpty(mine)) {
        for (const Position p : {block.formatted, block.street, block.street2, block.city,
                                 block.region, block.postalCode, block.country}) {
            r.named[p] = namedValue(later, p);
        }
        return;
    }
    const bool known =
        mine == address || std::any_of(r.more.begin(), r.more.end(), [&](const TypedValue& v) {
            return v.kind == ValueKind::Address && v.address == address;
        });
    if (!known) {
        TypedValue more;
        more.kind = ValueKind::Address;
        const auto types = placeTypes(place);
        more.types.assign(types.begin(), types.end());
        more.address = address;
        r.more.push_back(std::move(more));
    }
}

} // namespace

std::size_t RowGroups::merged() const {
    std::size_t count = 0;
    for (std::size_t i = 0; i < cardOf.size(); ++i) {
        count += cardOf[i] != i ? 1 : 0;
    }
    return count;
}

PersonKeys personKeys(const ContactRecord& r) {
    PersonKeys keys;
    std::string name = namedValue(r, FullName);
    if (text::trimmed(name).empty()) {
        name.clear();
        for (const Position p : {FirstName, MiddleName, LastName}) {
            name.append(" ").append(namedValue(r, p));
        }
    }
    // Lower case, single blanks, none at either end.
    for (const char c : lowerCase(name)) {
        if (c != ' ' && c != '\t') {
            keys.name += c;
        } else if (!keys.name.empty() && keys.name.back() != ' ') {
            keys.name += ' ';
        }
    }
    while (!keys.name.empty() && keys.name.back() == ' ') {
        keys.name.pop_back();
    }
    const auto add = [&keys](ValueKind kind, const std::string& value) {
        if (kind == ValueKind::Email && !text::trimmed(value).empty()) {
            keys.emails.push_back(lowerCase(value));
        } else if (kind == ValueKind::Telephone) {
            if (std::string digits = digitsOf(value); digits.size() >= 5) {
                keys.phones.push_back(std::move(digits));
            }
        }
    };
    for (std::size_t p = 0; p < r.named.size() && p < kCount; ++p) {
        add(valueKindOf(kTable[p].kind), r.named[p]);
    }
    for (const TypedValue& v : r.more) {
        add(v.kind, v.value);
    }
    return keys;
}

std::size_t PersonFinder::root(std::size_t contact) {
    while (parent_[contact] != contact) {
        contact = parent_[contact] = parent_[parent_[contact]];
    }
    return contact;
}

void PersonFinder::join(std::size_t a, std::size_t b) {
    a = root(a);
    b = root(b);
    // The earlier contact stays the root: it is the one whose card holds the person.
    parent_[std::max(a, b)] = std::min(a, b);
}

void PersonFinder::add(const PersonKeys& keys) {
    const std::size_t contact = parent_.size();
    parent_.push_back(contact);
    for (const std::string& email : keys.emails) {
        meet("e" + email, contact);
    }
    if (!keys.name.empty()) {
        for (const std::string& phone : keys.phones) {
            meet("p" + keys.name + '\0' + phone, contact);
        }
    }
}

void PersonFinder::meet(const std::string& key, std::size_t contact) {
    const auto [at, fresh] = firstWithKey_.emplace(key, contact);
    if (!fresh) {
        join(at->second, contact);
    }
}

std::vector<std::size_t> PersonFinder::firstOfEach() {
    std::vector<std::size_t> first(parent_.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        first[i] = root(i);
    }
    return first;
}

void mergeInto(ContactRecord& merged, const ContactRecord& later,
               const std::vector<std::string>& labels) {
    merged.named.resize(std::max<std::size_t>(merged.named.size(), kCount));
    std::string& note = merged.named[Notes];
    for (std::size_t i = 0; i < later.named.size() && i < kCount; ++i) {
        const auto p = static_cast<Position>(i);
        const std::string& value = later.named[p];
        const Descriptor& d = descriptorOf(p);
        if (value.empty() || d.kind == Kind::Address) {
            continue;
        }
        if (d.kind == Kind::Phone || d.kind == Kind::Email || d.kind == Kind::Web) {
            addValue(merged, valueKindOf(d.kind), d.types, value, p);
        } else if (d.kind == Kind::Note) {
            std::string_view lines = value;
            for (auto end = lines.find('\n');; end = lines.find('\n')) {
                addNoteLine(note, lines.substr(0, end));
                if (end == std::string_view::npos) {
                    break;
                }
                lines.remove_prefix(end + 1);
            }
        } else if (merged.named[p].empty()) {
            merged.named[p] = value;
        } else if (text::trimmed(merged.named[p]) != text::trimmed(value)) {
            const std::string& label = p < labels.size() ? labels[p] : std::string(nameOf(p));
            addNoteLine(note, label + ": " + value);
        }
    }
    for (const Place place : {Place::Work, Place::Home}) {
        addAddress(merged, later, place);
    }
    for (const TypedValue& v : later.more) {
        if (v.kind == ValueKind::Telephone || v.kind == ValueKind::Email ||
            v.kind == ValueKind::WebPage) {
            if (!holds(merged, v.kind, v.value)) {
                merged.more.push_back(v);
            }
        } else if (std::none_of(merged.more.begin(), merged.more.end(), [&v](const TypedValue& m) {
                       return m.kind == v.kind && m.name == v.name && m.value == v.value &&
                              m.address == v.address;
                   })) {
            merged.more.push_back(v);
        }
    }
}

std::string rowsOfCard(const std::vector<std::int64_t>& rows) {
    std::string out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out += i == 0 ? "" : i + 1 == rows.size() ? " and " : ", ";
        out += std::to_string(rows[i]);
    }
    return out;
}
