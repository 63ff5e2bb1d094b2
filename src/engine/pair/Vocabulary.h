// What the words of column names, labels and a few kinds of value mean, in
// English, German, French, Spanish, Italian, Dutch and Portuguese. Every word
// the converter understands is in one table, tagged with its languages and
// its meaning; adding a word or a language is rows in that table. Words are
// compared as words::split gives them (lower case, accents off).
#pragma once

#include "engine/pair/Properties.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vocabulary {

// The languages a word belongs to, as bits.
using Languages = std::uint8_t;
inline constexpr Languages kEnglish = 1;
inline constexpr Languages kGerman = 2;
inline constexpr Languages kFrench = 4;
inline constexpr Languages kSpanish = 8;
inline constexpr Languages kItalian = 16;
inline constexpr Languages kDutch = 32;
inline constexpr Languages kPortuguese = 64;
inline constexpr Languages kEveryLanguage = 127;

// What a word says of the column it stands in.
enum class Role : std::uint8_t {
    // Contact data of a property's kind, with its qualifier and place where the word says them.
    Contact,
    // A kind of telephone, only beside a word for a telephone ("car", "main").
    PhoneQualifier,
    // Whose place a value is: work, home or another.
    Place,
    // A mailing, billing or shipping address: the contact's own.
    Mailing,
    // A CRM's bookkeeping: record ids, owners, statuses, consent flags, ratings.
    Bookkeeping,
    // Data no property holds: another person's (a manager's, a spouse's), a
    // screen name, a custom field. It goes into the note.
    Other,
    // A date or a time that is no birthday's.
    Time,
    // A day, a month or a year.
    DatePart,
    // A house number beside its street.
    HouseNumber,
    // The addition to a house number ("a", "bis").
    HouseAddition,
    // The particle before a family name ("van der").
    FamilyPrefix,
    // A display name, which echoes the contact's name beside an e-mail address.
    Display,
    // "Line", as in "Address Line 2".
    Line,
    // A title: an honorific or a job title, as the column's values tell.
    Title,
    // The label or the value column of a typed group ("E-mail 1 - Label").
    GroupLabel,
    GroupValue,
    // A number word ("number", "Nr."), which alone beside a street names the house number.
    Number,
    // A word that changes no meaning ("of", "the").
    Neutral,
};

enum class DatePart : std::uint8_t { None, Year, Month, Day };

struct Meaning {
    Role role = Role::Neutral;
    property::Kind kind = property::Kind::Note;
    property::Qualifier qualifier = property::Qualifier::None;
    property::Place place = property::Place::None;
    DatePart datePart = DatePart::None;
};

struct Word {
    std::string_view word;
    Languages languages;
    Meaning meaning;
};

// Every meaning of a word; most have one, a few have one per language ("tag"
// is a category in English and a day in German). Empty for a word the
// vocabulary does not know.
std::span<const Word> meaningsOf(std::string_view word);

// The words of a name as the vocabulary reads them: two neighbours that make
// one known word are joined ("nom complet", "e mail"), and a word it does not
// know that is two it does ("FIRSTNAME", "Autotelefoon") is cut in two.
std::vector<std::string> wordsOf(std::string_view name);

// A column name that known exports use for one property, with the property
// to take when that one is taken already.
struct ExactName {
    property::Position property;
    std::optional<property::Position> fallback;
};
// The property a known export gives a column of this name; none for others.
std::optional<ExactName> exactName(std::string_view header);

// True for an honorific ("Mr", "Dr.", "Frau", "Mme", "Sr.").
bool isHonorific(std::string_view value);
// True for a yes/no value ("true", "Nein", "oui", "0").
bool isFlag(std::string_view value);
// Whether the addresses of a country write the house number before the street
// ("12 Main St") rather than after it ("Hauptstraße 12"); none for a country
// it does not know, by name in the seven languages or by ISO code.
std::optional<bool> numberBeforeStreet(std::string_view country);
// The same for the language of a header row: before in English and French.
bool numberBeforeStreet(Languages language);
// The one language most of the words were of; English when none leads.
Languages leadingLanguage(std::span<const Languages> wordLanguages);

} // namespace vocabulary
