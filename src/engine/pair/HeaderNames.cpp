#include "engine/pair/HeaderNames.h"

#include "engine/Text.h"
#include "engine/log/LogTexts.h"
#include "engine/pair/HeaderColumns.h"
#include "engine/pair/Properties.h"
#include "engine/pair/ValueShapes.h"
#include "engine/pair/Vocabulary.h"

#include <algorithm>

namespace {

using namespace property;
using header::Column;

// The first property of the kind, qualifier and place that the table holds,
// trying the place given, then none, then any.
std::optional<Position> closest(Kind kind, Qualifier q, Place place) {
    if (const auto exact = find(kind, q, place)) {
        return exact;
    }
    if (const auto placeless = find(kind, q, Place::None)) {
        return placeless;
    }
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        if (kTable[i].kind == kind && kTable[i].qualifier == q) {
            return static_cast<Position>(i);
        }
    }
    return std::nullopt;
}

// The place of the address block a part belongs to: home where it names none.
Place blockPlace(const ColumnMeaning& m) {
    return m.place == Place::None ? Place::Home : m.place;
}

std::optional<AddressBlock> blockOf(const ColumnMeaning& m) {
    return addressBlock(blockPlace(m));
}

// The properties a column may take, in order.
std::vector<Position> candidatesOf(const Column& c) {
    if (c.exact) {
        std::vector<Position> known = {c.exact->property};
        if (c.exact->fallback) {
            known.push_back(*c.exact->fallback);
        }
        return known;
    }
    const ColumnMeaning& m = c.meaning;
    const auto one = [](std::optional<Position> p) {
        return p ? std::vector<Position>{*p} : std::vector<Position>{};
    };
    switch (m.kind) {
    case Kind::Email:
        if (m.place != Place::None) {
            return one(find(Kind::Email, Qualifier::None, m.place));
        }
        if (m.ordinal >= 2) {
            return {m.ordinal == 2 ? EmailAddress2 : EmailAddress3};
        }
        return {EmailAddressWork, EmailAddress2, EmailAddress3};
    case Kind::Phone:
        if (m.qualifier != Qualifier::None) {
            return one(closest(Kind::Phone, m.qualifier, m.place));
        }
        if (m.place != Place::None) {
            return one(find(Kind::Phone, Qualifier::None, m.place));
        }
        return {BusinessTelephoneNumber, OtherTelephoneNumber};
    case Kind::Web:
        if (m.place != Place::None) {
            return one(find(Kind::Web, Qualifier::None, m.place));
        }
        return {m.ordinal == 1 ? BusinessWebPage : PersonalWebPage};
    case Kind::Address: {
        const auto block = blockOf(m);
        if (!block || m.qualifier == Qualifier::PoBox) {
            return {};
        }
        if ((m.qualifier == Qualifier::Street && m.ordinal >= 2) ||
            m.qualifier == Qualifier::Street2) {
            return {block->street2};
        }
        if (m.qualifier == Qualifier::Formatted) {
            return {block->street};
        }
        return one(find(Kind::Address, m.qualifier, descriptorOf(block->street).place));
    }
    default:
        return one(closest(m.kind, m.qualifier, Place::None));
    }
}

AddressPart componentOf(Qualifier q) {
    switch (q) {
    case Qualifier::PoBox:
        return PoBox;
    case Qualifier::Street2:
        return Extended;
    case Qualifier::City:
        return City;
    case Qualifier::Region:
        return Region;
    case Qualifier::PostalCode:
        return PostalCode;
    case Qualifier::Country:
        return Country;
    default:
        return Street;
    }
}

std::vector<std::string> typesOf(Kind kind, Qualifier q, Place place) {
    std::vector<std::string> types;
    for (const std::string_view t : typesFor(kind, q, place)) {
        types.emplace_back(t);
    }
    return types;
}

// How a column whose properties are taken is carried.
FurtherColumn furtherOf(const Column& c, const std::vector<Position>& candidates) {
    FurtherColumn f;
    f.index = c.index;
    f.header = *c.header;
    f.basis = c.basis;
    const ColumnMeaning& m = c.meaning;
    if (m.role != ColumnRole::Contact) {
        f.use = FurtherColumn::Use::NoteLine;
        return f;
    }
    switch (m.kind) {
    case Kind::Phone:
    case Kind::Email:
    case Kind::Web:
        f.kind = valueKindOf(m.kind);
        f.types = typesOf(m.kind, m.kind == Kind::Phone ? m.qualifier : Qualifier::None, m.place);
        return f;
    case Kind::Note:
    case Kind::Categories:
    case Kind::Job:
        f.kind = ValueKind::Text;
        f.name = lineOf(m.kind);
        return f;
    case Kind::Organisation:
    case Kind::Name:
        if (m.qualifier == Qualifier::Company || m.qualifier == Qualifier::Nick) {
            f.kind = ValueKind::Text;
            f.name = descriptorOf(*closest(m.kind, m.qualifier, Place::None)).line;
            return f;
        }
        break;
    case Kind::Address:
        if (m.qualifier == Qualifier::Street && !candidates.empty() &&
            descriptorOf(candidates.front()).qualifier == Qualifier::Street2) {
            f.use = FurtherColumn::Use::AddToProperty; // a third street line
            f.property = candidates.front();
            return f;
        }
        f.use = FurtherColumn::Use::AddressPart;
        f.kind = ValueKind::Address;
        f.types = typesOf(Kind::Address, Qualifier::Formatted, m.place);
        f.address = static_cast<std::size_t>(m.place) * 2 + (m.mailing ? 1 : 0);
        f.part = componentOf(m.qualifier);
        return f;
    case Kind::Date:
        break;
    }
    f.use = FurtherColumn::Use::NoteLine;
    return f;
}

// Settles which address each part belongs to: a mailing or billing address is
// the work address of a layout that names a company, else the home address;
// "Address Line 1" and "Address 2" are street lines. The blocks with a street
// column of their own are returned.
std::set<Place> settleAddresses(std::vector<Column>& columns) {
    const bool hasCompany = std::any_of(columns.begin(), columns.end(), [](const Column& c) {
        return c.meaning.isContact(Kind::Organisation) && c.meaning.qualifier == Qualifier::Company;
    });
    std::set<Place> blocksWithStreet;
    for (Column& c : columns) {
        if (c.meaning.mailing && c.meaning.place == Place::None) {
            c.meaning.place = hasCompany ? Place::Work : Place::Home;
        }
        if (!c.meaning.isContact(Kind::Address)) {
            continue;
        }
        if (c.meaning.qualifier == Qualifier::Formatted &&
            (c.meaning.line || c.meaning.ordinal >= 2)) {
            c.meaning.qualifier = Qualifier::Street;
        }
        if (c.meaning.qualifier == Qualifier::Street && c.meaning.ordinal <= 1) {
            blocksWithStreet.insert(blockPlace(c.meaning));
        }
    }
    return blocksWithStreet;
}

// The columns to pair, those that name their place ("Business Phone") before
// the ones that take any free property of their kind ("Primary Phone", "Phone").
std::vector<const Column*> inPairingOrder(const std::vector<Column>& columns) {
    std::vector<const Column*> order;
    for (const Column& c : columns) {
        if (!c.joined) {
            order.push_back(&c);
        }
    }
    std::stable_partition(order.begin(), order.end(), [](const Column* c) {
        return c->exact.has_value() || c->meaning.place != Place::None ||
               candidatesOf(*c).size() <= 1;
    });
    return order;
}

// Pairs the column with its first free property, or carries it, or leaves it out.
void plan(const Column& c, const std::set<Place>& blocksWithStreet, std::set<std::string>& taken,
          NamePairing& result) {
    if (c.meaning.is(ColumnRole::Bookkeeping)) {
        result.skipped.push_back({c.index, *c.header, SkippedColumn::Why::Bookkeeping, c.basis});
        return;
    }
    if (c.meaning.isContact(Kind::Address) && c.meaning.qualifier == Qualifier::Formatted &&
        blocksWithStreet.contains(blockPlace(c.meaning))) {
        result.skipped.push_back({c.index, *c.header, SkippedColumn::Why::PartsPaired, c.basis});
        return;
    }
    const std::vector<Position> candidates =
        c.meaning.role == ColumnRole::Contact ? candidatesOf(c) : std::vector<Position>{};
    for (const Position p : candidates) {
        if (taken.insert(std::string(nameOf(p))).second) {
            result.pairs.push_back(
                {c.index, *c.header, std::string(nameOf(p)), c.basis, c.againstWords});
            return;
        }
    }
    result.further.push_back(furtherOf(c, candidates));
}

} // namespace

dates::DateOrder headerDateOrder(const std::vector<std::string>& headers) {
    std::vector<vocabulary::Languages> languages;
    for (const std::string& header : headers) {
        const ColumnMeaning m = classifyColumnName(header);
        languages.insert(languages.end(), m.languages.begin(), m.languages.end());
    }
    return vocabulary::leadingLanguage(languages) == vocabulary::kEnglish
               ? dates::DateOrder::MonthFirst
               : dates::DateOrder::DayFirst;
}

NamePairing pairColumnsByName(const NamePairingInput& input) {
    std::vector<Column> columns = header::readColumns(input);
    std::vector<vocabulary::Languages> languages;
    for (const Column& c : columns) {
        languages.insert(languages.end(), c.meaning.languages.begin(), c.meaning.languages.end());
    }
    NamePairing result;
    header::inferPlaces(columns);
    header::findHouseNumbers(
        columns, result, vocabulary::numberBeforeStreet(vocabulary::leadingLanguage(languages)));
    header::findBirthParts(columns, result);
    header::findParticles(columns, result);
    header::wholeNames(columns);
    const std::set<Place> blocksWithStreet = settleAddresses(columns);

    std::set<std::string> taken = input.pairedProperties;
    for (const Column* column : inPairingOrder(columns)) {
        plan(*column, blocksWithStreet, taken, result);
    }
    const auto byColumn = [](const auto& a, const auto& b) { return a.column < b.column; };
    std::sort(result.pairs.begin(), result.pairs.end(), byColumn);
    std::sort(result.skipped.begin(), result.skipped.end(), byColumn);
    std::sort(result.further.begin(), result.further.end(),
              [](const auto& a, const auto& b) { return a.index < b.index; });
    return result;
}
