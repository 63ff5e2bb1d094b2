#include "engine/pair/HeaderNames.h"

#include "engine/pair/ColumnKinds.h"
#include "engine/pair/KnownHeaders.h"
#include "engine/pair/Properties.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace {

using namespace property;

// The table keyed by headerKey, built once.
const std::unordered_map<std::string, const KnownHeader*>& tableByKey() {
    static const auto byKey = [] {
        std::unordered_map<std::string, const KnownHeader*> map;
        for (const KnownHeader& known : knownHeaders()) {
            map.emplace(headerKey(known.header), &known);
        }
        return map;
    }();
    return byKey;
}

// Which address a part belongs to.
enum class Block { Business, Home, Other };

struct BlockSlots {
    Position first;
    Position street2;
};

std::optional<BlockSlots> slotsOf(Block block) {
    if (block == Block::Business) {
        return BlockSlots{BusinessAddress, BusinessAddressStreet2};
    }
    if (block == Block::Home) {
        return BlockSlots{HomeAddress, HomeAddressStreet2};
    }
    return std::nullopt;
}

bool isAddressPart(ColumnKind kind) {
    return kind >= ColumnKind::PoBox && kind <= ColumnKind::Address;
}

// The offset of a part within a block (formatted, street, city, state, postal
// code, country) and its component in an ADR line.
std::size_t blockOffset(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::City:
        return 2;
    case ColumnKind::Region:
        return 3;
    case ColumnKind::PostalCode:
        return 4;
    case ColumnKind::Country:
        return 5;
    default:
        return 1;
    }
}

AddressPart componentOf(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::PoBox:
        return PoBox;
    case ColumnKind::City:
        return City;
    case ColumnKind::Region:
        return Region;
    case ColumnKind::PostalCode:
        return PostalCode;
    case ColumnKind::Country:
        return Country;
    default:
        return Street;
    }
}

std::vector<std::string> typesOf(::Qualifier q) {
    if (q == ::Qualifier::Work) {
        return {"WORK"};
    }
    if (q == ::Qualifier::Home) {
        return {"HOME"};
    }
    return {};
}

// A column as the plan sees it.
struct Column {
    std::size_t index;
    const std::string* header;
    ColumnMeaning meaning;
    const KnownHeader* known = nullptr;
    Block block = Block::Home;
};

// The properties a column may take, in order.
std::vector<Position> candidatesOf(const Column& c) {
    const ::Qualifier q = c.meaning.qualifier;
    const int n = c.meaning.ordinal;
    switch (c.meaning.kind) {
    case ColumnKind::Email:
        if (q == ::Qualifier::Work) {
            return {EmailAddressWork};
        }
        if (q == ::Qualifier::Home) {
            return {EmailAddressHome};
        }
        if (q == ::Qualifier::Other) {
            return {EmailAddressOther};
        }
        if (n == 2) {
            return {EmailAddress2};
        }
        if (n >= 3) {
            return {EmailAddress3};
        }
        return {EmailAddressWork, EmailAddress2, EmailAddress3};
    case ColumnKind::Telephone:
        if (q == ::Qualifier::Work) {
            return {BusinessTelephoneNumber};
        }
        if (q == ::Qualifier::Home) {
            return {HomeTelephoneNumber};
        }
        if (q == ::Qualifier::Other) {
            return {OtherTelephoneNumber};
        }
        return {BusinessTelephoneNumber, OtherTelephoneNumber};
    case ColumnKind::Mobile:
        return {MobileNumber};
    case ColumnKind::Fax:
        if (q == ::Qualifier::Home) {
            return {HomeFaxNumber};
        }
        return q == ::Qualifier::Other ? std::vector<Position>{} : std::vector{BusinessFaxNumber};
    case ColumnKind::Pager:
        return {PagerNumber};
    case ColumnKind::WebPage:
        if (q == ::Qualifier::Work) {
            return {BusinessWebPage};
        }
        return q == ::Qualifier::Other ? std::vector<Position>{} : std::vector{PersonalWebPage};
    case ColumnKind::Birthday:
        return {Birthday};
    case ColumnKind::Notes:
        return {Notes};
    case ColumnKind::Categories:
        return {Categories};
    case ColumnKind::Department:
        return {Department};
    case ColumnKind::Company:
        return {Company};
    case ColumnKind::JobTitle:
        return {JobTitle};
    case ColumnKind::Prefix:
        return {Title};
    case ColumnKind::Suffix:
        return {NameSuffix};
    case ColumnKind::Nickname:
        return {Nickname};
    case ColumnKind::MiddleName:
        return {MiddleName};
    case ColumnKind::GivenName:
        return {FirstName};
    case ColumnKind::FamilyName:
        return {LastName};
    case ColumnKind::FullName:
        return {FullName};
    default:
        break;
    }
    const auto slots = slotsOf(c.block);
    if (!slots || !isAddressPart(c.meaning.kind) || c.meaning.kind == ColumnKind::PoBox) {
        return {};
    }
    if (c.meaning.kind == ColumnKind::Street && n >= 2) {
        return {slots->street2};
    }
    return {static_cast<Position>(slots->first + blockOffset(c.meaning.kind))};
}

// How a column whose properties are taken is carried.
FurtherColumn furtherOf(const Column& c, const std::vector<Position>& candidates) {
    FurtherColumn f;
    f.index = c.index;
    f.header = *c.header;
    f.types = typesOf(c.meaning.qualifier);
    const auto value = [&f](ValueKind kind, std::vector<std::string> extra = {}) {
        f.kind = kind;
        f.types.insert(f.types.begin(), extra.begin(), extra.end());
    };
    const auto text = [&f](std::string name) {
        f.kind = ValueKind::Text;
        f.types.clear();
        f.name = std::move(name);
    };
    switch (c.meaning.kind) {
    case ColumnKind::Email:
        value(ValueKind::Email);
        if (c.meaning.qualifier == ::Qualifier::Other) {
            f.types = {"OTHER"};
        }
        return f;
    case ColumnKind::Telephone:
        value(ValueKind::Telephone);
        return f;
    case ColumnKind::Mobile:
        value(ValueKind::Telephone, {"CELL"});
        return f;
    case ColumnKind::Fax:
        value(ValueKind::Telephone, {"FAX"});
        return f;
    case ColumnKind::Pager:
        value(ValueKind::Telephone, {"PAGER"});
        return f;
    case ColumnKind::WebPage:
        value(ValueKind::WebPage);
        return f;
    case ColumnKind::Notes:
        text("NOTE");
        return f;
    case ColumnKind::Categories:
        text("CATEGORIES");
        return f;
    case ColumnKind::Company:
        text("ORG");
        return f;
    case ColumnKind::JobTitle:
        text("TITLE");
        return f;
    case ColumnKind::Nickname:
        text("NICKNAME");
        return f;
    default:
        break;
    }
    if (isAddressPart(c.meaning.kind)) {
        // A third street line goes below the block's second one.
        if (c.meaning.kind == ColumnKind::Street && !candidates.empty() &&
            (candidates.front() == BusinessAddressStreet2 ||
             candidates.front() == HomeAddressStreet2)) {
            f.use = FurtherColumn::Use::AddToProperty;
            f.property = candidates.front();
            f.types.clear();
            return f;
        }
        f.use = FurtherColumn::Use::AddressPart;
        f.kind = ValueKind::Address;
        f.address = static_cast<std::size_t>(c.block);
        f.part = componentOf(c.meaning.kind);
        return f;
    }
    f.use = FurtherColumn::Use::NoteLine;
    f.types.clear();
    return f;
}

// The meaning the exact table gives a column whose words say nothing.
ColumnMeaning meaningOfProperty(std::string_view name) {
    const auto p = positionOf(name);
    if (!p) {
        return {};
    }
    const std::string words(nameOf(*p));
    // The property names are words themselves: "BusinessFaxNumber", "HomeAddressCity".
    return classifyColumnName(words);
}

std::vector<std::string_view> valuesOf(const NamePairingInput& input, std::size_t column) {
    std::vector<std::string_view> values;
    for (const auto& row : input.sample) {
        if (column < row.size()) {
            values.push_back(row[column]);
        }
    }
    return values;
}

} // namespace

std::string headerKey(std::string_view header) {
    std::string key;
    key.reserve(header.size());
    for (std::size_t i = 0; i < header.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(header[i]);
        if (c >= 'A' && c <= 'Z') {
            key += static_cast<char>(c - 'A' + 'a');
        } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            key += static_cast<char>(c);
        } else if (c == 0xC3 && i + 1 < header.size()) {
            // Latin-1 capitals (U+00C0..U+00DE but for U+00D7) are two bytes apart
            // from their small letters by 0x20 in the second byte.
            unsigned char next = static_cast<unsigned char>(header[++i]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97) {
                next = static_cast<unsigned char>(next + 0x20);
            }
            key += static_cast<char>(c);
            key += static_cast<char>(next);
        } else if (c >= 0x80) {
            key += static_cast<char>(c);
        }
    }
    return key;
}

NamePairing pairColumnsByName(const NamePairingInput& input) {
    std::vector<Column> columns;
    bool hasCompany = false;
    for (std::size_t i = 0; i < input.headers.size(); ++i) {
        const std::string& header = input.headers[i];
        if (header.empty() || input.takenColumns.contains(i)) {
            continue;
        }
        Column c{i, &header, classifyColumnName(header)};
        if (const auto found = tableByKey().find(headerKey(header)); found != tableByKey().end()) {
            c.known = found->second;
            if (c.meaning.kind == ColumnKind::Unknown || c.meaning.kind == ColumnKind::Metadata) {
                c.meaning = meaningOfProperty(c.known->property);
            }
        }
        if (c.meaning.kind == ColumnKind::Unknown) {
            c.meaning.kind = kindFromValues(valuesOf(input, i));
        } else if (c.meaning.kind == ColumnKind::Title) {
            c.meaning.kind = resolveTitle(valuesOf(input, i));
        }
        hasCompany = hasCompany || c.meaning.kind == ColumnKind::Company;
        columns.push_back(c);
    }
    // Which address each part belongs to; a mailing or billing address is the
    // work address of a layout that names a company, else the home address.
    std::set<Block> blocksWithStreet;
    for (Column& c : columns) {
        const ::Qualifier q = c.meaning.qualifier == ::Qualifier::Mailing
                                  ? (hasCompany ? ::Qualifier::Work : ::Qualifier::Home)
                                  : c.meaning.qualifier;
        c.meaning.qualifier = q;
        c.block = q == ::Qualifier::Work    ? Block::Business
                  : q == ::Qualifier::Other ? Block::Other
                                            : Block::Home;
        if (c.meaning.kind == ColumnKind::Street && c.meaning.ordinal <= 1) {
            blocksWithStreet.insert(c.block);
        }
        if (c.meaning.kind == ColumnKind::Address && (c.meaning.line || c.meaning.ordinal >= 2)) {
            c.meaning.kind = ColumnKind::Street; // "Address Line 1", "Address 2"
        }
    }

    // Columns that name their place ("Business Phone") choose before the ones
    // that take any free property of their kind ("Primary Phone", "Phone").
    std::set<std::string> seen;
    std::vector<std::pair<const Column*, bool>> order; // column, repeated
    for (const Column& c : columns) {
        order.emplace_back(&c, !seen.insert(*c.header).second);
    }
    std::stable_partition(order.begin(), order.end(), [](const auto& entry) {
        const Column& c = *entry.first;
        return c.known != nullptr || c.meaning.qualifier != ::Qualifier::None ||
               candidatesOf(c).size() <= 1;
    });

    NamePairing result;
    std::set<std::string> taken = input.pairedProperties;
    for (const auto& [column, repeated] : order) {
        const Column& c = *column;
        if (input.pairedHeaders.contains(*c.header) && !repeated) {
            continue;
        }
        if (c.meaning.kind == ColumnKind::Address && blocksWithStreet.contains(c.block)) {
            result.skipped.push_back({c.index, *c.header});
            continue;
        }
        std::vector<Position> candidates;
        if (c.known != nullptr && c.meaning.kind != ColumnKind::JobTitle) {
            for (const std::string_view name : {c.known->property, c.known->fallback}) {
                if (const auto p = positionOf(name)) {
                    candidates.push_back(*p);
                }
            }
        } else {
            candidates = candidatesOf(c);
        }
        if (candidates.empty() &&
            (c.meaning.kind == ColumnKind::Unknown || c.meaning.kind == ColumnKind::Metadata ||
             c.meaning.kind == ColumnKind::BirthPart)) {
            continue;
        }
        bool paired = false;
        for (const Position p : candidates) {
            if (!repeated && taken.insert(std::string(nameOf(p))).second) {
                result.pairs.push_back({c.index, *c.header, std::string(nameOf(p))});
                paired = true;
                break;
            }
        }
        if (!paired) {
            result.further.push_back(furtherOf(c, candidates));
        }
    }
    const auto byColumn = [](const auto& a, const auto& b) { return a.column < b.column; };
    std::sort(result.pairs.begin(), result.pairs.end(), byColumn);
    std::sort(result.further.begin(), result.further.end(),
              [](const auto& a, const auto& b) { return a.index < b.index; });
    return result;
}
