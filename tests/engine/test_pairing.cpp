// Pairing by names: the vocabulary of seven languages, the shapes of values,
// the decision between words and values, and the layout of a whole header.
#include "engine/pair/ColumnEvidence.h"
#include "engine/pair/HeaderNames.h"
#include "engine/pair/TypedGroups.h"
#include "engine/pair/ValueShapes.h"
#include "engine/pair/Words.h"

#include <gtest/gtest.h>

using Names = std::vector<std::string>;
using property::Kind;
using property::Place;
using Q = property::Qualifier;
using R = ColumnRole;

namespace {

NamePairing pairByName(const Names& headers, std::vector<Names> sample = {}) {
    NamePairingInput input;
    input.headers = headers;
    input.sample = std::move(sample);
    return pairColumnsByName(input);
}

// "column property" for each pair, "column LINE;TYPES" for each carried column.
Names describe(const NamePairing& found) {
    Names lines;
    for (const auto& p : found.pairs) {
        lines.push_back(p.header + " " + p.property);
    }
    for (const auto& f : found.further) {
        std::string types;
        for (const auto& t : f.types) {
            types += ";" + t;
        }
        lines.push_back(f.header + " " + f.lineName() + types);
    }
    return lines;
}

ColumnDecision weigh(std::string_view header, const std::vector<std::string_view>& values) {
    return weighColumn(classifyColumnName(header), shapes::profileOf(values));
}

} // namespace

// One row per rule of the vocabulary, in each of the seven languages.
TEST(Vocabulary, WordsOfSevenLanguages) {
    const struct {
        std::string_view header;
        ColumnRole role;
        Kind kind;
        Q qualifier;
        Place place;
    } cases[] = {
        {"Mobile Phone Number", R::Contact, Kind::Phone, Q::Cell, Place::None},
        {"Handynummer", R::Contact, Kind::Phone, Q::Cell, Place::None},
        {"Téléphone portable", R::Contact, Kind::Phone, Q::Cell, Place::None},
        {"Cellulare", R::Contact, Kind::Phone, Q::Cell, Place::None},
        {"Telemóvel", R::Contact, Kind::Phone, Q::Cell, Place::None},
        {"homePhone", R::Contact, Kind::Phone, Q::None, Place::Home},
        {"Tel.-Nr. privat", R::Contact, Kind::Phone, Q::None, Place::Home},
        {"Telefoon op werk", R::Contact, Kind::Phone, Q::None, Place::Work},
        {"Teléfono (Trabajo)", R::Contact, Kind::Phone, Q::None, Place::Work},
        {"Autotelefoon", R::Contact, Kind::Phone, Q::Car, Place::None},
        {"Telefono auto", R::Contact, Kind::Phone, Q::Car, Place::None},
        {"Hoofdtelefoon bedrijf", R::Contact, Kind::Phone, Q::Main, Place::Work},
        {"Company Phone", R::Contact, Kind::Phone, Q::Main, Place::Work},
        {"Asst Phone", R::Contact, Kind::Phone, Q::Assistant, Place::None},
        {"Richiamata automatica", R::Contact, Kind::Phone, Q::Callback, Place::None},
        {"Radiotelefono", R::Contact, Kind::Phone, Q::Radio, Place::None},
        {"Teksttelefoon", R::Contact, Kind::Phone, Q::Tty, Place::None},
        {"ISDN", R::Contact, Kind::Phone, Q::Isdn, Place::None},
        {"Andere fax", R::Contact, Kind::Phone, Q::Fax, Place::Other},
        {"Buscapersonas", R::Contact, Kind::Phone, Q::Pager, Place::None},
        {"E-Mail-Adresse", R::Contact, Kind::Email, Q::None, Place::None},
        {"Première adresse électronique", R::Contact, Kind::Email, Q::None, Place::None},
        {"Correo electrónico personal", R::Contact, Kind::Email, Q::None, Place::Home},
        {"Webpagina 1", R::Contact, Kind::Web, Q::None, Place::None},
        {"Straße", R::Contact, Kind::Address, Q::Street, Place::None},
        {"Via (uff.) 2", R::Contact, Kind::Address, Q::Street, Place::Work},
        {"Werkadres, plaats", R::Contact, Kind::Address, Q::City, Place::Work},
        {"Rua residencial", R::Contact, Kind::Address, Q::Street, Place::Home},
        {"Código postal", R::Contact, Kind::Address, Q::PostalCode, Place::None},
        {"Country/Region", R::Contact, Kind::Address, Q::Country, Place::None},
        {"Bairro", R::Contact, Kind::Address, Q::Street2, Place::None},
        {"Altro indirizzo - Casella postale", R::Contact, Kind::Address, Q::PoBox, Place::Other},
        {"Endereço", R::Contact, Kind::Address, Q::Formatted, Place::None},
        {"Default Address Company", R::Contact, Kind::Organisation, Q::Company, Place::None},
        {"Nom de la société", R::Contact, Kind::Organisation, Q::Company, Place::None},
        {"Setor", R::Contact, Kind::Organisation, Q::Department, Place::None},
        {"Arbeitstitel", R::Contact, Kind::Job, Q::None, Place::None},
        {"Werkfunctie", R::Contact, Kind::Job, Q::None, Place::None},
        {"Mansione", R::Contact, Kind::Job, Q::None, Place::None},
        {"Puesto", R::Contact, Kind::Job, Q::None, Place::None},
        {"Função", R::Contact, Kind::Job, Q::None, Place::None},
        {"Anrede (Prefix)", R::Contact, Kind::Name, Q::Prefix, Place::None},
        {"FIRSTNAME", R::Contact, Kind::Name, Q::Given, Place::None},
        {"Nom de famille", R::Contact, Kind::Name, Q::Family, Place::None},
        {"Nom complet", R::Contact, Kind::Name, Q::Full, Place::None},
        {"Nombre mostrado", R::Contact, Kind::Name, Q::Full, Place::None},
        {"Secondo nome", R::Contact, Kind::Name, Q::Middle, Place::None},
        {"Geboortedatum", R::Contact, Kind::Date, Q::None, Place::None},
        {"Aantekeningen", R::Contact, Kind::Note, Q::None, Place::None},
        {"Trefwoorden", R::Contact, Kind::Categories, Q::None, Place::None},
        {"Titre", R::Title, Kind::Note, Q::None, Place::None},
        {"Geburtsjahr", R::BirthPart, Kind::Note, Q::None, Place::None},
        {"Mes de nacimiento", R::BirthPart, Kind::Note, Q::None, Place::None},
        {"Mois", R::DatePart, Kind::Note, Q::None, Place::None},
        {"Haus-Nr.", R::HouseNumber, Kind::Note, Q::None, Place::None},
        {"Toevoeging", R::HouseAddition, Kind::Note, Q::None, Place::None},
        {"LastnamePreposition", R::FamilyPrefix, Kind::Note, Q::None, Place::None},
        {"Número", R::Number, Kind::Note, Q::None, Place::None},
        {"Record ID", R::Bookkeeping, Kind::Note, Q::None, Place::None},
        {"E-mail Display Name", R::Bookkeeping, Kind::Note, Q::None, Place::None},
        {"Weergavenaam voor e-mail", R::Bookkeeping, Kind::Note, Q::None, Place::None},
        {"Email Opt Out", R::Bookkeeping, Kind::Note, Q::None, Place::None},
        {"Naam assistent", R::Other, Kind::Note, Q::None, Place::None},
        {"Manager's Phone", R::Other, Kind::Note, Q::None, Place::None},
        {"Nome de tela", R::Other, Kind::Note, Q::None, Place::None},
        {"Speciale datum", R::Time, Kind::Note, Q::None, Place::None},
        {"Company Founding Date", R::Time, Kind::Note, Q::None, Place::None},
        {"Favourite colour", R::Unknown, Kind::Note, Q::None, Place::None},
    };
    for (const auto& c : cases) {
        const ColumnMeaning m = classifyColumnName(c.header);
        EXPECT_EQ(m.role, c.role) << c.header;
        if (c.role == R::Contact) {
            EXPECT_EQ(m.kind, c.kind) << c.header;
            EXPECT_EQ(m.qualifier, c.qualifier) << c.header;
        }
        EXPECT_EQ(m.place, c.place) << c.header;
    }
    EXPECT_EQ(classifyColumnName("Téléphone 2 (bureau)").ordinal, 2);
    EXPECT_TRUE(classifyColumnName("Mailing Street").mailing);
    EXPECT_TRUE(classifyColumnName("Address Line 2").line);
    EXPECT_TRUE(classifyColumnName("ID").justAnId);
    // The header's language: day first in any of the six others, month first in English.
    EXPECT_EQ(headerDateOrder({"Voornaam", "Achternaam", "E-mail", "Verjaardag"}),
              dates::DateOrder::DayFirst);
    EXPECT_EQ(headerDateOrder({"CONTACT ID", "EMAIL", "NOM", "PRENOM", "DATE_DE_NAISSANCE",
                               "ADDED_TIME", "MODIFIED_TIME"}),
              dates::DateOrder::DayFirst);
    EXPECT_EQ(headerDateOrder({"First Name", "Last Name", "Birthday"}),
              dates::DateOrder::MonthFirst);
}

TEST(Words, OneNormaliserForNamesLabelsAndValues) {
    EXPECT_EQ(words::split("homePhone2 (Privé)"), (Names{"home", "phone", "2", "prive"}));
    EXPECT_EQ(words::key("E-mail Address"), "emailaddress");
    EXPECT_EQ(words::split("Email12x"), (Names{"email", "12", "x"}));
    EXPECT_EQ(words::split("ÀÞ×ßé"), (Names{"ath", "sse"})); // a sign ends a word; ß is "ss"
    EXPECT_EQ(words::folded("Décembre, 12"), "decembre, 12");
    // However long a name, only its first bytes are read, and never half a letter.
    const std::string head = std::string(words::kMaxText - 1, 'a') + "é";
    EXPECT_EQ(words::split(head + std::string(10'000'000, 'b')), words::split(head));
    EXPECT_EQ(words::key(head), std::string(words::kMaxText - 1, 'a'));
}

TEST(ValueShapes, WhatASpreadsheetSavedAndWhatAValueIs) {
    EXPECT_EQ(shapes::unwrapped("'+44 7700 900123"), "+44 7700 900123");
    EXPECT_EQ(shapes::unwrapped("=\"0612345678\""), "0612345678");
    EXPECT_EQ(shapes::unwrapped("'Tis"), "'Tis");
    EXPECT_EQ(shapes::withoutZeroFraction("4915112345678.0"), "4915112345678");
    EXPECT_EQ(shapes::withoutZeroFraction("1.5"), "1.5");
    EXPECT_EQ(shapes::withoutZeroFraction(".0"), ".0");
    EXPECT_TRUE(shapes::isPhone("tel:+44 20 7946 0958"));
    EXPECT_TRUE(shapes::looksLikeWeb("example.org/team"));
    EXPECT_FALSE(shapes::looksLikeWeb("J.A."));
    EXPECT_TRUE(shapes::isUnmistakablePhone("(030) 123456"));
    EXPECT_FALSE(shapes::isUnmistakablePhone("4050-123"));       // a Portuguese postal code
    EXPECT_FALSE(shapes::isUnmistakablePhone("123.456.789-09")); // a Brazilian tax number
    EXPECT_FALSE(shapes::isUnmistakablePhone("01-06-1972"));     // a date
    EXPECT_EQ(shapes::severalValues("0171 1234567 / 030 123456 7", Kind::Phone).size(), 2u);
    EXPECT_EQ(shapes::severalValues("030/123456", Kind::Phone).size(), 1u);
    EXPECT_EQ(shapes::severalValues("a@x.org, b@y.org\nc@z.org", Kind::Email).size(), 3u);
    EXPECT_EQ(shapes::severalValues("a@x.org, not one", Kind::Email).size(), 1u);

    const shapes::Profile p = shapes::profileOf(
        {"", "'+49 171 1234567", "yes", "2023-04-18 10:22", "Deutschland", "12a", "Dr."});
    EXPECT_EQ(p.filled, 6u);
    EXPECT_EQ(p.unmistakablePhone, 1u);
    EXPECT_EQ(p.flag, 1u);
    EXPECT_EQ(p.dateTime, 1u);
    EXPECT_EQ(p.country, 1u);
    EXPECT_EQ(p.houseNumber, 1u);
    EXPECT_EQ(p.honorific, 1u);
}

TEST(ColumnEvidence, ValuesAndWordsDecideTogether) {
    using Values = std::vector<std::string_view>;
    const struct {
        std::string_view header;
        Values values;
        ColumnRole role;
        Kind kind;
        bool againstWords;
    } cases[] = {
        // Strong shapes overrule a word of another kind.
        {"Mailing Address", {"ann@example.org", "bo@example.net"}, R::Contact, Kind::Email, true},
        {"Company", {"+44 20 7946 0958", "0171 1234567"}, R::Contact, Kind::Phone, true},
        {"Col A", {"https://a.example", "www.b.example"}, R::Contact, Kind::Web, false},
        // Digits that may be a postal code leave the words to decide.
        {"Postal Code", {"4050-123", "01310-100"}, R::Contact, Kind::Address, false},
        // Values that cannot be what the words say keep the column off that line.
        {"E-mail", {"Ann (ann at example)", "n/a"}, R::Other, Kind::Email, false},
        {"Phone", {"yes", "no"}, R::Other, Kind::Phone, false},
        // A title is a prefix or a job title; a region of countries is the country.
        {"Title", {"Mr", "Dr.", "CEO"}, R::Contact, Kind::Name, false},
        {"Title", {"VP Sales", "Mr"}, R::Contact, Kind::Job, false},
        {"Région", {"France", "Belgique"}, R::Contact, Kind::Address, true},
        // Names that say nothing: bookkeeping by the values, else the note.
        {"Registered", {"2023-04-18 10:22:31"}, R::Bookkeeping, Kind::Note, false},
        {"Geblokkeerd", {"false", "true"}, R::Bookkeeping, Kind::Note, false},
        {"Reisafstand", {"12 km"}, R::Other, Kind::Note, false},
        {"ID", {"B12345674", "12345678Z"}, R::Other, Kind::Note, false},
        {"ID", {"1001", "1002"}, R::Bookkeeping, Kind::Note, false},
        {"Contact owner", {"ann@example.org"}, R::Bookkeeping, Kind::Note, false},
    };
    for (const auto& c : cases) {
        const ColumnDecision d = weigh(c.header, c.values);
        EXPECT_EQ(d.meaning.role, c.role) << c.header;
        EXPECT_EQ(d.againstWords, c.againstWords) << c.header;
        if (c.role == R::Contact || (c.role == R::Other && d.meaning.role == R::Contact)) {
            EXPECT_EQ(d.meaning.kind, c.kind) << c.header;
        }
    }
    EXPECT_EQ(weigh("Région", {"France"}).meaning.qualifier, Q::Country);
    EXPECT_EQ(weigh("Pays/État", {"Île-de-France", "Bretagne"}).meaning.qualifier, Q::Region);
    EXPECT_EQ(weigh("Mailing Address", {"ann@example.org"}).basis,
              "its values are e-mail addresses");
    EXPECT_EQ(weigh("Website", {"none", "n/a"}).basis, "its values are no web addresses");
}

TEST(PairColumnsByName, PlacesHouseNumbersBirthdaysAndNames) {
    // The parts of an address take the place of the address they follow; a
    // known name's property moves with them.
    EXPECT_EQ(describe(pairByName({"Adresse privée", "Ville", "Pays/État",
                                   "Adresse professionnelle", "Ville", "Pays/État"})),
              (Names{"Adresse privée HomeAddressStreet", "Ville HomeAddressCity",
                     "Pays/État HomeAddressState", "Adresse professionnelle BusinessAddressStreet",
                     "Ville BusinessAddressCity", "Pays/État BusinessAddressState"}));
    // House numbers join their street, with the row's country's order.
    const NamePairing houses = pairByName({"Straat", "Huisnummer", "Toevoeging", "Land", "Number"},
                                          {{"Dorpsstraat", "18", "A", "Nederland", "3"}});
    ASSERT_EQ(houses.houseNumbers.size(), 1u);
    EXPECT_EQ(houses.houseNumbers[0].number, 1u);
    EXPECT_EQ(houses.houseNumbers[0].addition, 2u);
    EXPECT_EQ(houses.houseNumbers[0].country, 3u);
    EXPECT_FALSE(houses.houseNumbers[0].numberFirst);
    // A number word beside no street is no house number: it goes into the note.
    EXPECT_EQ(describe(houses),
              (Names{"Straat HomeAddressStreet", "Land HomeAddressCountry", "Number NOTE"}));

    // A birthday of parts: a birth year, a plain month and a birth column of days.
    const NamePairing born = pairByName({"Name", "Ano de nascimento", "Mes", "Nascimento"},
                                        {{"Ana", "1971", "12", "25"}});
    ASSERT_TRUE(born.birthParts);
    EXPECT_EQ(born.birthParts->year, 1u);
    EXPECT_EQ(born.birthParts->month, 2u);
    EXPECT_EQ(born.birthParts->day, 3u);
    EXPECT_EQ(born.joined.size(), 3u);

    // A particle joins the family name; a given name of whole names is the full name.
    const NamePairing names = pairByName({"Voorvoegsel", "Achternaam"});
    ASSERT_EQ(names.particles.size(), 1u);
    EXPECT_EQ(names.particles[0].family, 1u);
    EXPECT_EQ(names.joined.size(), 1u);
    EXPECT_EQ(describe(pairByName({"Nome", "Cidade"}, {{"Ana Lima", "Recife"}})),
              (Names{"Nome FullName", "Cidade HomeAddressCity"}));
}

TEST(PairColumnsByName, ATakenPropertyMakesFurtherLinesNeverALoss) {
    // A repeated name pairs by its own column; a second of a kind becomes one
    // more line with the table's TYPEs; a name part or an unknown column goes
    // into the note; bookkeeping and an address given also in parts are left out.
    const NamePairing found =
        pairByName({"Titre", "Given Name", "First Name", "Mobile", "Mobile", "Titre", "Fax privé",
                    "Other Fax", "Home Address", "Home Street", "Lead Status", "Favourite"},
                   {{"M.", "Ann", "Ann", "0612345678", "0687654321", "Directeur", "0144556677",
                     "0144556678", "1 Rue", "1 Rue", "Hot", "Blue"}});
    EXPECT_EQ(describe(found), (Names{"Titre Title", "Given Name FirstName", "Mobile MobileNumber",
                                      "Titre JobTitle", "Fax privé HomeFaxNumber",
                                      "Other Fax OtherFaxNumber", "Home Street HomeAddressStreet",
                                      "First Name NOTE", "Mobile TEL;CELL", "Favourite NOTE"}));
    ASSERT_EQ(found.skipped.size(), 2u);
    EXPECT_EQ(found.skipped[0].why, SkippedColumn::Why::PartsPaired);
    EXPECT_EQ(found.skipped[1].why, SkippedColumn::Why::Bookkeeping);
    // A third street line goes below the second.
    EXPECT_EQ(describe(pairByName({"Street", "Street 2", "Street 3"})),
              (Names{"Street HomeAddressStreet", "Street 2 HomeAddressStreet2",
                     "Street 3 HomeAddressStreet2"}));
    // A further value's TYPEs: its property's, else its place's and its use's.
    EXPECT_EQ(property::typesFor(Kind::Phone, Q::Fax, Place::Home),
              (std::vector<std::string_view>{"HOME", "FAX"}));
    EXPECT_EQ(property::typesFor(Kind::Phone, Q::Video, Place::Work),
              (std::vector<std::string_view>{"WORK", "VIDEO"}));
    EXPECT_EQ(property::typesFor(Kind::Phone, Q::Car, Place::Home),
              (std::vector<std::string_view>{"HOME", "CAR"}));
    // A mailing address is the work address where a company is named.
    EXPECT_EQ(describe(pairByName({"Account Name", "Mailing Street", "Mailing City"})),
              (Names{"Account Name Company", "Mailing Street BusinessAddressStreet",
                     "Mailing City BusinessAddressCity"}));
}

class TypedValues : public ::testing::Test {
protected:
    const Names headers = {"Name",
                           "E-mail 1 - Type",
                           "E-mail 1 - Value",
                           "Phone 1 - Label",
                           "Phone 1 - Value",
                           "Address 1 - Label",
                           "Address 1 - Street",
                           "Address 1 - City",
                           "Address 1 - Extended Address",
                           "Website 1 - Label",
                           "Website 1 - Value",
                           "Organization 1 - Type"};
    const std::vector<TypedGroup> groups = detectTypedGroups(headers);

    ContactRecord record = empty();
    static ContactRecord empty() { return {std::vector<std::string>(property::kCount), {}}; }
    void spread(const Names& fields) { spreadTypedValues(fields, groups, record); }
};

TEST_F(TypedValues, GroupsAreFoundInTheHeader) {
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0].kind, Kind::Email);
    EXPECT_EQ(groups[0].label.index, 1u);
    EXPECT_EQ(groups[0].value.index, 2u);
    EXPECT_EQ(groups[2].kind, Kind::Address);
    EXPECT_EQ(groups[2].address[1].index, 6u);
    EXPECT_EQ(groups[2].addressExtra[0].index, 8u);
    EXPECT_TRUE(
        detectTypedGroups({"E-mail 1 - Value", "Phone - Label", "Phone x - Value"}).empty());
}

TEST_F(TypedValues, EachRowsOwnLabelTypesItsValues) {
    using namespace property;
    spread({"Ann", "* Home", "a@h ::: b@x", "Work Fax", "555", "Work", "1 Main St", "Leeds", "",
            "Profile", "u"});
    EXPECT_TRUE(record.more.empty());
    EXPECT_EQ(record[EmailAddressHome], "a@h");
    // The second Home value never takes another type's property.
    EXPECT_EQ(record[EmailAddress2], "b@x");
    EXPECT_EQ(record[EmailAddressWork], "");
    EXPECT_EQ(record[BusinessFaxNumber], "555");
    EXPECT_EQ(record[BusinessAddressStreet], "1 Main St");
    EXPECT_EQ(record[PersonalWebPage], "u");

    // An unlabelled number takes a plain voice line, never a fax's or a pager's.
    record = empty();
    record[MobileNumber] = "taken by a fixed pair";
    spread({"Bo", "", "", "Mobile", "777", "Home", "2 Elm Rd", "", "", "", ""});
    EXPECT_EQ(record[OtherTelephoneNumber], "777");
    EXPECT_EQ(record[HomeAddressStreet], "2 Elm Rd");
    record = empty();
    spread({"Cy", "", "", "", "888", "", "", "", "", "", ""});
    EXPECT_EQ(record[BusinessTelephoneNumber], "888");
}

TEST_F(TypedValues, ValuesWithNoFreePropertyBecomeFurtherValues) {
    using namespace property;
    const std::string six = "1@x ::: 2@x ::: 3@x ::: 4@x ::: 5@x ::: 6@x";
    record[HomeAddressCity] = "taken";
    spread({"Ann", "Work", six, "Work Fax", "7 ::: 8 ::: 9", "Home", "2 Elm Rd", "York", "Flat 3",
            "", ""});
    EXPECT_EQ(record[EmailAddress3], "3@x");
    EXPECT_EQ(record[EmailAddressOther], "");
    ASSERT_EQ(record.more.size(), 5u);
    EXPECT_EQ(record.more[0].value, "4@x");
    EXPECT_EQ(record.more[0].types, (Names{"INTERNET", "WORK"}));
    EXPECT_EQ(record.more[3].kind, ValueKind::Telephone);
    EXPECT_EQ(record.more[3].value, "9"); // 8 took the plain OtherTelephoneNumber
    EXPECT_EQ(record.more[3].types, (Names{"WORK", "FAX"}));
    const TypedValue& home = record.more[4];
    EXPECT_EQ(home.kind, ValueKind::Address);
    EXPECT_EQ(home.types, Names{"HOME"});
    EXPECT_EQ(home.address[Street], "2 Elm Rd");
    EXPECT_EQ(home.address[Extended], "Flat 3");
}

TEST(TypedGroupAddress, AFurtherAddressKeepsEveryPartInItsPlace) {
    using namespace property;
    const Names headers = {"Address 1 - Label",       "Address 1 - Street",
                           "Address 1 - City",        "Address 1 - Region",
                           "Address 1 - Postal Code", "Address 1 - Country",
                           "Address 1 - PO Box",      "Address 1 - Extended Address"};
    ContactRecord record{std::vector<std::string>(kCount), {}};
    record[HomeAddressCity] = "taken";
    // Two addresses in one row, the second with a street only.
    spreadTypedValues({"Home", "st ::: st2", "ci", "re", "pc", "co", "pb", "ex"},
                      detectTypedGroups(headers), record);
    ASSERT_EQ(record.more.size(), 2u);
    EXPECT_EQ(record.more[0].address,
              (std::array<std::string, kAddressParts>{"pb", "ex", "st", "ci", "re", "pc", "co"}));
    EXPECT_EQ(record.more[1].address,
              (std::array<std::string, kAddressParts>{"", "", "st2", "", "", "", ""}));
}
