#include "engine/pair/ColumnMeaning.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace {

using property::Kind;
using property::Place;
using property::Qualifier;
using vocabulary::Role;

// Kinds in the order they win when a name holds words of several: "E-mail
// Address" is an e-mail, "Company Phone" a telephone, "First Name" a given
// name. A smaller rank wins.
int rank(Kind kind, Qualifier q) {
    switch (kind) {
    case Kind::Email:
        return 0;
    case Kind::Web:
        return 1;
    case Kind::Phone:
        switch (q) {
        case Qualifier::Fax:
            return 2;
        case Qualifier::Pager:
            return 3;
        case Qualifier::Cell:
            return 4;
        case Qualifier::None:
            return 6;
        default:
            return 5;
        }
    case Kind::Date:
        return 7;
    case Kind::Address:
        switch (q) {
        case Qualifier::PoBox:
            return 8;
        case Qualifier::Street:
            return 9;
        case Qualifier::Street2:
            return 10;
        case Qualifier::City:
            return 11;
        case Qualifier::PostalCode:
            return 12;
        case Qualifier::Country:
            return 13; // before the region: "Country/Region" is a country
        case Qualifier::Region:
            return 14;
        default:
            return 15;
        }
    case Kind::Note:
        return 16;
    case Kind::Categories:
        return 17;
    case Kind::Organisation:
        return q == Qualifier::Department ? 18 : 19;
    case Kind::Job:
        return 20;
    case Kind::Name:
        break;
    }
    switch (q) {
    case Qualifier::Prefix:
        return 22;
    case Qualifier::Suffix:
        return 23;
    case Qualifier::Nick:
        return 24;
    case Qualifier::Middle:
        return 25;
    case Qualifier::Given:
        return 26;
    case Qualifier::Family:
        return 27;
    default:
        return 28;
    }
}
// A title is a prefix or a job title: it wins over the name parts only.
constexpr int kTitleRank = 21;

// What the words of one name said, before they are weighed.
struct Findings {
    const vocabulary::Meaning* best = nullptr;
    int bestRank = 1000;
    std::size_t bestAt = 0;
    Qualifier phoneQualifier = Qualifier::None;
    Place place = Place::None;
    bool company = false;
    std::size_t companyAt = 0;
    bool nameWord = false;
    bool display = false;
    bool bookkeeping = false;
    bool other = false;
    bool time = false;
    bool title = false;
    bool number = false;
    bool unknownWord = false;
    Role part = Role::Neutral; // HouseNumber, HouseAddition or FamilyPrefix
};

void note(Findings& f, const vocabulary::Meaning& m, std::size_t at, ColumnMeaning& meaning) {
    switch (m.role) {
    case Role::Contact:
        if (const int r = rank(m.kind, m.qualifier); r < f.bestRank) {
            f.best = &m;
            f.bestRank = r;
            f.bestAt = at;
        }
        if (m.kind == Kind::Organisation && m.qualifier == Qualifier::Company && !f.company) {
            f.company = true;
            f.companyAt = at;
        }
        f.nameWord = f.nameWord || (m.kind == Kind::Name && m.qualifier != Qualifier::Nick);
        meaning.regionWord =
            meaning.regionWord || (m.kind == Kind::Address && m.qualifier == Qualifier::Region);
        if (m.place != Place::None && f.place == Place::None) {
            f.place = m.place;
        }
        break;
    case Role::PhoneQualifier:
        f.phoneQualifier = f.phoneQualifier == Qualifier::None ? m.qualifier : f.phoneQualifier;
        break;
    case Role::Place:
        f.place = f.place == Place::None ? m.place : f.place;
        break;
    case Role::Mailing:
        meaning.mailing = true;
        break;
    case Role::Bookkeeping:
        f.bookkeeping = true;
        break;
    case Role::Other:
        f.other = true;
        break;
    case Role::Time:
        f.time = true;
        break;
    case Role::DatePart:
        meaning.datePart = m.datePart;
        break;
    case Role::HouseNumber:
    case Role::HouseAddition:
    case Role::FamilyPrefix:
        f.part = m.role;
        break;
    case Role::Display:
        f.display = true;
        break;
    case Role::Line:
        meaning.line = true;
        break;
    case Role::Title:
        f.title = true;
        break;
    case Role::Number:
        f.number = true;
        break;
    case Role::GroupLabel:
    case Role::GroupValue:
    case Role::Neutral:
        break;
    }
}

// The role the findings give, for all but plain contact data.
std::optional<ColumnRole> roleOf(const Findings& f, const ColumnMeaning& meaning) {
    if (f.bookkeeping) {
        return ColumnRole::Bookkeeping;
    }
    if (f.part == Role::HouseNumber) {
        return ColumnRole::HouseNumber;
    }
    if (f.part == Role::HouseAddition) {
        return ColumnRole::HouseAddition;
    }
    if (f.part == Role::FamilyPrefix) {
        return ColumnRole::FamilyPrefix;
    }
    const Kind kind = f.best != nullptr ? f.best->kind : Kind::Note;
    if (f.other || (f.phoneQualifier == Qualifier::Assistant && kind != Kind::Phone)) {
        return ColumnRole::Other; // the assistant's name, not the contact's
    }
    if (f.best != nullptr && (kind == Kind::Email || kind == Kind::Web) &&
        (f.display || f.nameWord)) {
        return ColumnRole::Bookkeeping; // the address's display name echoes the contact's
    }
    if (f.best != nullptr && kind == Kind::Date && meaning.datePart != vocabulary::DatePart::None) {
        return ColumnRole::BirthPart;
    }
    if (f.best != nullptr && kind == Kind::Date) {
        return std::nullopt; // a birthday, whatever words of time stand beside it
    }
    if (f.time) {
        return ColumnRole::Time;
    }
    if (f.title && f.bestRank > kTitleRank) {
        return ColumnRole::Title;
    }
    if (f.best == nullptr) {
        if (f.display) {
            return std::nullopt; // "Display as": the whole name
        }
        if (meaning.datePart != vocabulary::DatePart::None && !f.unknownWord) {
            return ColumnRole::DatePart;
        }
        if (f.number && !f.unknownWord) {
            return ColumnRole::Number;
        }
        return ColumnRole::Unknown;
    }
    return std::nullopt;
}

// True for the words of contact data, which exports write in the user's
// language; a CRM's bookkeeping is often named in English whatever the language.
bool speaksForTheLanguage(Role role) {
    switch (role) {
    case Role::Bookkeeping:
    case Role::Other:
    case Role::Time:
    case Role::Mailing:
    case Role::GroupLabel:
    case Role::GroupValue:
    case Role::Number:
    case Role::Neutral:
        return false;
    default:
        return true;
    }
}

} // namespace

ColumnMeaning classifyColumnName(std::string_view header) {
    ColumnMeaning meaning;
    Findings f;
    const std::vector<std::string> words = vocabulary::wordsOf(header);
    for (std::size_t at = 0; at < words.size(); ++at) {
        const std::string& w = words[at];
        if (std::all_of(w.begin(), w.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            if (meaning.ordinal == 0 && w.size() <= 2) {
                std::from_chars(w.data(), w.data() + w.size(), meaning.ordinal);
            }
            continue;
        }
        const auto meanings = vocabulary::meaningsOf(w);
        f.unknownWord = f.unknownWord || meanings.empty();
        vocabulary::Languages languages = 0;
        for (const vocabulary::Word& word : meanings) {
            note(f, word.meaning, at, meaning);
            if (speaksForTheLanguage(word.meaning.role)) {
                languages |= word.languages;
            }
        }
        if (languages != 0) {
            meaning.languages.push_back(languages);
        }
    }
    meaning.justAnId = words.size() == 1 && (words[0] == "id" || words[0] == "ids");
    if (const auto role = roleOf(f, meaning)) {
        meaning.role = *role;
        meaning.place = f.place;
        return meaning;
    }
    meaning.role = ColumnRole::Contact;
    if (f.best == nullptr || (f.display && f.best->kind == Kind::Name)) {
        meaning.kind = Kind::Name; // a name to display is the whole name
        meaning.qualifier = Qualifier::Full;
        return meaning;
    }
    meaning.kind = f.best->kind;
    meaning.qualifier = f.best->qualifier;
    meaning.place = f.place;
    // "Default Address Company" is a company; "Company Address" an address.
    if (meaning.kind == Kind::Address && meaning.qualifier == Qualifier::Formatted && f.company &&
        f.companyAt > f.bestAt) {
        meaning.kind = Kind::Organisation;
        meaning.qualifier = Qualifier::Company;
        return meaning;
    }
    const bool ofACompany = f.company && meaning.kind != Kind::Organisation;
    if (meaning.kind == Kind::Phone && meaning.qualifier == Qualifier::None) {
        meaning.qualifier = ofACompany ? Qualifier::Main : f.phoneQualifier;
    }
    if (ofACompany && meaning.place == Place::None) {
        meaning.place = Place::Work; // a company word names the place of a phone or an address
    }
    if (meaning.kind == Kind::Organisation) {
        meaning.place = Place::None;
    }
    return meaning;
}
