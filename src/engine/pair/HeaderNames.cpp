#include "engine/pair/HeaderNames.h"

#include "engine/Text.h"
#include "engine/log/LogTexts.h"
#include "engine/pair/ColumnEvidence.h"
#include "engine/pair/Properties.h"
#include "engine/pair/ValueShapes.h"
#include "engine/pair/Vocabulary.h"

#include <algorithm>

namespace {

using namespace property;

// A column as the plan sees it.
struct Column {
    std::size_t index = 0;
    const std::string* header = nullptr;
    ColumnMeaning meaning;
    // The property a known export gives the name, while it still applies.
    std::optional<vocabulary::ExactName> exact;
    shapes::Profile values;
    std::string basis;
    bool againstWords = false;
    // True when the words of the name gave its place.
    bool placeFromWords = false;
    // True once its values join another column's.
    bool joined = false;
};

std::vector<std::string_view> valuesOf(const NamePairingInput& input, std::size_t column) {
    std::vector<std::string_view> values;
    for (const auto& row : input.sample) {
        if (column < row.size()) {
            values.push_back(row[column]);
        }
    }
    return values;
}

// The meaning a known export's name gives, in the words' terms.
ColumnMeaning meaningOfProperty(ColumnMeaning meaning, Position p) {
    const Descriptor& d = descriptorOf(p);
    meaning.role = ColumnRole::Contact;
    meaning.kind = d.kind;
    meaning.qualifier = d.qualifier;
    meaning.place = d.place;
    return meaning;
}

Column readColumn(const NamePairingInput& input, std::size_t i) {
    Column c;
    c.index = i;
    c.header = &input.headers[i];
    c.meaning = classifyColumnName(input.headers[i]);
    c.placeFromWords = c.meaning.place != Place::None;
    c.values = shapes::profileOf(valuesOf(input, i));
    ColumnMeaning byName = c.meaning;
    if (const auto exact = vocabulary::exactName(*c.header);
        exact && !byName.is(ColumnRole::Title)) {
        // The words' meaning stays where they say contact data: a known name
        // only chooses the property ("Home Address" holds the street).
        if (!byName.is(ColumnRole::Contact)) {
            byName = meaningOfProperty(byName, exact->property);
        }
        c.exact = exact;
    }
    const ColumnDecision decision = weighColumn(byName, c.values);
    c.meaning = decision.meaning;
    c.againstWords = decision.againstWords;
    const bool sameAsKnown = c.exact && decision.basis == logtext::kBasisName;
    c.basis = sameAsKnown ? logtext::kBasisKnownName : decision.basis;
    if (!sameAsKnown) {
        c.exact.reset();
    }
    return c;
}

bool isAddressPart(const Column& c) {
    return c.meaning.isContact(Kind::Address) || c.meaning.is(ColumnRole::HouseNumber) ||
           c.meaning.is(ColumnRole::HouseAddition) || c.meaning.is(ColumnRole::Number);
}

// The parts of an address that say nothing of their place take the place of
// the address they follow ("Private Address", "City", "Postal Code" ...
void inferPlaces(std::vector<Column>& columns) {
    const Column* run = nullptr;
    std::size_t last = 0;
    for (Column& c : columns) {
        if (!isAddressPart(c) || (run != nullptr && c.index != last + 1)) {
            run = nullptr;
        }
        if (!isAddressPart(c)) {
            continue;
        }
        last = c.index;
        if (run == nullptr || c.placeFromWords || c.meaning.mailing) {
            run = &c;
            continue;
        }
        const Place known = c.exact ? descriptorOf(c.exact->property).place : c.meaning.place;
        if (known != run->meaning.place || c.meaning.mailing != run->meaning.mailing) {
            if (c.exact) {
                // A known name's property, in the address it stands in.
                c.meaning = meaningOfProperty(c.meaning, c.exact->property);
                c.exact.reset();
            }
            c.meaning.place = run->meaning.place;
            c.meaning.mailing = run->meaning.mailing;
        }
    }
}

Column* at(std::vector<Column>& columns, std::size_t index) {
    for (Column& c : columns) {
        if (c.index == index) {
            return &c;
        }
    }
    return nullptr;
}

void join(Column& c, NamePairing& result, const std::string& into, std::string_view basis) {
    c.joined = true;
    result.joined.push_back({c.index, *c.header, into, std::string(basis)});
}

// House numbers, and their additions, beside the street they belong to.
void findHouseNumbers(std::vector<Column>& columns, NamePairing& result, bool numberFirst) {
    for (Column& number : columns) {
        const bool named = number.meaning.is(ColumnRole::HouseNumber);
        if (!named && !(number.meaning.is(ColumnRole::Number) &&
                        number.values.nearlyAll(number.values.houseNumber))) {
            continue;
        }
        const Column* street = nullptr;
        for (std::size_t back = 1; back <= 3 && back <= number.index && street == nullptr; ++back) {
            const Column* c = at(columns, number.index - back);
            if (c != nullptr && c->meaning.isContact(Kind::Address) &&
                (c->meaning.qualifier == Qualifier::Street ||
                 c->meaning.qualifier == Qualifier::Formatted) &&
                c->meaning.place == number.meaning.place) {
                street = c;
            }
        }
        if (street == nullptr) {
            continue;
        }
        HouseNumberColumns joined{street->index, number.index};
        joined.numberFirst = numberFirst;
        const std::string basis = text::fill(logtext::kBasisPlace, *street->header);
        join(number, result, *street->header, basis);
        if (Column* addition = at(columns, number.index + 1);
            addition != nullptr && !addition->joined &&
            addition->meaning.is(ColumnRole::HouseAddition)) {
            joined.addition = addition->index;
            join(*addition, result, *street->header, basis);
        }
        for (const Column& c : columns) {
            if (c.meaning.isContact(Kind::Address) && c.meaning.qualifier == Qualifier::Country &&
                c.meaning.place == number.meaning.place &&
                c.meaning.mailing == number.meaning.mailing) {
                joined.country = c.index;
            }
        }
        result.houseNumbers.push_back(joined);
    }
    // An addition without a house number is a second street line.
    for (Column& c : columns) {
        if (c.meaning.is(ColumnRole::HouseAddition) && !c.joined) {
            c.meaning.role = ColumnRole::Contact;
            c.meaning.kind = Kind::Address;
            c.meaning.qualifier = Qualifier::Street2;
        }
    }
}

// A birthday in part columns: "Birth Year" and the like, plain "Month" and
// "Day" beside them, and a birth column that holds days of a month beside a
// birth year or month (German Thunderbird names its birth day column so).
void findBirthParts(std::vector<Column>& columns, NamePairing& result) {
    using vocabulary::DatePart;
    dates::BirthParts parts;
    const auto take = [&parts](DatePart part, std::size_t index) {
        std::size_t& slot = part == DatePart::Year    ? parts.year
                            : part == DatePart::Month ? parts.month
                                                      : parts.day;
        if (slot == dates::BirthParts::kNone) {
            slot = index;
        }
    };
    std::vector<std::size_t> birthColumns;
    for (const Column& c : columns) {
        if (c.meaning.is(ColumnRole::BirthPart)) {
            take(c.meaning.datePart, c.index);
            birthColumns.push_back(c.index);
        }
    }
    if (birthColumns.empty()) {
        return;
    }
    const auto beside = [&birthColumns](std::size_t index) {
        return std::any_of(birthColumns.begin(), birthColumns.end(),
                           [index](std::size_t b) { return b + 1 == index || index + 1 == b; });
    };
    for (Column& c : columns) {
        const bool plain =
            c.meaning.is(ColumnRole::DatePart) ||
            (c.meaning.datePart == DatePart::Day && !c.meaning.is(ColumnRole::BirthPart));
        const bool days =
            c.meaning.isContact(Kind::Date) && c.values.nearlyAll(c.values.dayOfMonth);
        if ((plain || days) && beside(c.index)) {
            take(days ? DatePart::Day : c.meaning.datePart, c.index);
            birthColumns.push_back(c.index);
        }
    }
    if (parts.month == dates::BirthParts::kNone || parts.day == dates::BirthParts::kNone) {
        return;
    }
    result.birthParts = parts;
    for (Column& c : columns) {
        if (parts.holds(c.index)) {
            join(c, result, std::string(nameOf(Birthday)),
                 c.meaning.isContact(Kind::Date) ? logtext::kBasisDays : logtext::kBasisName);
        }
    }
}

// The particle of a family name ("van der") joins the family name it precedes.
void findParticles(std::vector<Column>& columns, NamePairing& result) {
    for (Column& particle : columns) {
        if (!particle.meaning.is(ColumnRole::FamilyPrefix)) {
            continue;
        }
        const Column* family = nullptr;
        for (const Column& c : columns) {
            if (c.meaning.isContact(Kind::Name) && c.meaning.qualifier == Qualifier::Family &&
                (family == nullptr ||
                 (family->index < particle.index && c.index > particle.index))) {
                family = &c;
            }
        }
        if (family != nullptr) {
            result.particles.push_back({family->index, particle.index});
            join(particle, result, *family->header, logtext::kBasisName);
        } else {
            particle.meaning.role = ColumnRole::Other;
        }
    }
}

// A given-name column of whole names, in a layout without a family name, is the full name.
void wholeNames(std::vector<Column>& columns) {
    const auto is = [&columns](Qualifier q) {
        return std::any_of(columns.begin(), columns.end(), [q](const Column& c) {
            return c.meaning.isContact(Kind::Name) && c.meaning.qualifier == q;
        });
    };
    if (is(Qualifier::Family) || is(Qualifier::Full)) {
        return;
    }
    for (Column& c : columns) {
        if (c.meaning.isContact(Kind::Name) && c.meaning.qualifier == Qualifier::Given &&
            c.values.nearlyAll(c.values.severalWords)) {
            c.meaning.qualifier = Qualifier::Full;
            c.basis = logtext::kBasisWholeNames;
            c.againstWords = true;
            c.exact.reset();
        }
    }
}

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

std::optional<AddressBlock> blockOf(const ColumnMeaning& m) {
    return addressBlock(m.place == Place::None ? Place::Home : m.place);
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
    std::vector<Column> columns;
    std::vector<vocabulary::Languages> languages;
    for (std::size_t i = 0; i < input.headers.size(); ++i) {
        if (input.headers[i].empty() || input.takenColumns.contains(i)) {
            continue;
        }
        columns.push_back(readColumn(input, i));
        const auto& words = columns.back().meaning.languages;
        languages.insert(languages.end(), words.begin(), words.end());
    }
    NamePairing result;
    inferPlaces(columns);
    findHouseNumbers(columns, result,
                     vocabulary::numberBeforeStreet(vocabulary::leadingLanguage(languages)));
    findBirthParts(columns, result);
    findParticles(columns, result);
    wholeNames(columns);

    // Which address each part belongs to; a mailing or billing address is the
    // work address of a layout that names a company, else the home address.
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
        const Place block = c.meaning.place == Place::None ? Place::Home : c.meaning.place;
        if (c.meaning.qualifier == Qualifier::Formatted &&
            (c.meaning.line || c.meaning.ordinal >= 2)) {
            c.meaning.qualifier = Qualifier::Street; // "Address Line 1", "Address 2"
        }
        if (c.meaning.qualifier == Qualifier::Street && c.meaning.ordinal <= 1) {
            blocksWithStreet.insert(block);
        }
    }

    // Columns that name their place ("Business Phone") choose before the ones
    // that take any free property of their kind ("Primary Phone", "Phone").
    std::vector<Column*> order;
    for (Column& c : columns) {
        if (!c.joined) {
            order.push_back(&c);
        }
    }
    std::stable_partition(order.begin(), order.end(), [](const Column* c) {
        return c->exact.has_value() || c->meaning.place != Place::None ||
               candidatesOf(*c).size() <= 1;
    });

    std::set<std::string> taken = input.pairedProperties;
    for (const Column* column : order) {
        const Column& c = *column;
        if (c.meaning.is(ColumnRole::Bookkeeping)) {
            result.skipped.push_back(
                {c.index, *c.header, SkippedColumn::Why::Bookkeeping, c.basis});
            continue;
        }
        const Place block = c.meaning.place == Place::None ? Place::Home : c.meaning.place;
        if (c.meaning.isContact(Kind::Address) && c.meaning.qualifier == Qualifier::Formatted &&
            blocksWithStreet.contains(block)) {
            result.skipped.push_back(
                {c.index, *c.header, SkippedColumn::Why::PartsPaired, c.basis});
            continue;
        }
        const std::vector<Position> candidates =
            c.meaning.role == ColumnRole::Contact ? candidatesOf(c) : std::vector<Position>{};
        bool paired = false;
        for (const Position p : candidates) {
            if (taken.insert(std::string(nameOf(p))).second) {
                result.pairs.push_back(
                    {c.index, *c.header, std::string(nameOf(p)), c.basis, c.againstWords});
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
    std::sort(result.skipped.begin(), result.skipped.end(), byColumn);
    std::sort(result.further.begin(), result.further.end(),
              [](const auto& a, const auto& b) { return a.index < b.index; });
    return result;
}
