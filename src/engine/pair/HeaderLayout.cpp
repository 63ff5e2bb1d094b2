#include "engine/pair/HeaderColumns.h"

#include "engine/Text.h"
#include "engine/log/LogTexts.h"
#include "engine/pair/ColumnEvidence.h"
#include "engine/pair/Properties.h"

#include <algorithm>

namespace header {

namespace {

using namespace property;

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

} // namespace

std::vector<Column> readColumns(const NamePairingInput& input) {
    std::vector<Column> columns;
    for (std::size_t i = 0; i < input.headers.size(); ++i) {
        if (!input.headers[i].empty() && !input.takenColumns.contains(i)) {
            columns.push_back(readColumn(input, i));
        }
    }
    return columns;
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

} // namespace header
