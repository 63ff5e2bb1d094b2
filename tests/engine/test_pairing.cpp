#include "engine/pair/ColumnKinds.h"
#include "engine/pair/HeaderNames.h"
#include "engine/pair/Properties.h"
#include "engine/pair/TypedGroups.h"

#include <gtest/gtest.h>

using Headers = std::vector<std::string>;

namespace {

std::vector<std::string> describe(const std::vector<ColumnPair>& pairs) {
    std::vector<std::string> lines;
    for (const auto& p : pairs) {
        lines.push_back(std::to_string(p.column) + " " + p.header + " " + p.property);
    }
    return lines;
}

NamePairing pairByName(const Headers& headers, std::vector<Headers> sample = {},
                       std::set<std::string> properties = {}, std::set<std::string> columns = {}) {
    NamePairingInput input;
    input.headers = headers;
    input.sample = std::move(sample);
    input.pairedProperties = std::move(properties);
    input.pairedHeaders = std::move(columns);
    return pairColumnsByName(input);
}

std::vector<std::string> describe(const std::vector<FurtherColumn>& further) {
    std::vector<std::string> lines;
    for (const auto& f : further) {
        std::string types;
        for (const auto& t : f.types) {
            types += ";" + t;
        }
        lines.push_back(std::to_string(f.index) + " " + f.lineName() + types);
    }
    return lines;
}

} // namespace

TEST(PairColumnsByName, CaseBlanksAndPunctuationDoNotMatter) {
    const Headers headers = {"FIRST_NAME", "e-mail address", "Straße geschäftlich",
                             "PRÉNOM",     "Unknown",        "Handy"};
    EXPECT_EQ(describe(pairByName(headers).pairs),
              (Headers{"0 FIRST_NAME FirstName", "1 e-mail address EmailAddressWork",
                       "2 Straße geschäftlich BusinessAddressStreet", "5 Handy MobileNumber"}));
    // Latin-1 capitals fold from À to Þ; the sign × and ß stay as they are.
    EXPECT_EQ(headerKey("ÀÞ×ßé Ö-Ü"), "àþ×ßéöü");
}

TEST(PairColumnsByName, ATakenPropertyMakesFurtherLinesNeverALoss) {
    // Given Name and First Name mean one property: the first column wins, the
    // second goes into the note; a second mobile becomes one more TEL line.
    // Paired names and paired properties are left alone.
    const Headers headers = {"Phone",  "Given Name", "First Name", "Surname",
                             "Mobile", "Mobile",     "Titre",      "Titre"};
    const NamePairing found = pairByName(headers, {{"1", "", "", "", "", "", "M.", "Directeur"}},
                                         {"MobileNumber"}, {"Phone"});
    EXPECT_EQ(describe(found.pairs),
              (Headers{"1 Given Name FirstName", "3 Surname LastName", "6 Titre Title"}));
    // A repeated name is carried by its position, each column by its own values.
    EXPECT_EQ(describe(found.further), (Headers{"2 NOTE", "4 TEL;CELL", "5 TEL;CELL", "7 TITLE"}));
}

TEST(PairColumnsByName, OnlyPropertiesThatExist) {
    const NamePairing found = pairByName({"E-mail 2 Address", "Secondary Email", "Nickname"});
    for (const auto& pair : found.pairs) {
        EXPECT_TRUE(property::positionOf(pair.property).has_value()) << pair.property;
    }
    ASSERT_FALSE(found.pairs.empty());
    EXPECT_EQ(found.pairs[0].property, "EmailAddress2");
}

// Names of the seven languages, as exports and people write them.
TEST(ClassifyColumnName, WordsOfSevenLanguages) {
    using K = ColumnKind;
    using Q = Qualifier;
    const struct {
        std::string_view header;
        ColumnKind kind;
        Qualifier qualifier;
    } cases[] = {
        {"Mobile Phone Number", K::Mobile, Q::None},
        {"Handynummer", K::Mobile, Q::None},
        {"Téléphone portable", K::Mobile, Q::None},
        {"Teléfono móvil", K::Mobile, Q::None},
        {"Cellulare", K::Mobile, Q::None},
        {"Mobiel nummer", K::Mobile, Q::None},
        {"Telemóvel", K::Mobile, Q::None},
        {"WHATSAPP", K::Mobile, Q::None},
        {"homePhone", K::Telephone, Q::Home},
        {"Tel.-Nr. privat", K::Telephone, Q::Home},
        {"LANDLINE_NUMBER", K::Telephone, Q::None},
        {"Telefono ufficio", K::Telephone, Q::Work},
        {"Telefoon werk", K::Telephone, Q::Work},
        {"Other Fax", K::Fax, Q::Other},
        {"E-Mail-Adresse", K::Email, Q::None},
        {"Courriel (travail)", K::Email, Q::Work},
        {"Correo electrónico personal", K::Email, Q::Home},
        {"EMAIL_ADDRESS", K::Email, Q::None},
        {"Website URL", K::WebPage, Q::None},
        {"Straße", K::Street, Q::None},
        {"Rue (domicile)", K::Street, Q::Home},
        {"Calle", K::Street, Q::None},
        {"Mailing Street", K::Street, Q::Mailing},
        {"Street Address 2", K::Street, Q::None},
        {"Address Line 1", K::Address, Q::None},
        {"PLZ", K::PostalCode, Q::None},
        {"Código postal", K::PostalCode, Q::None},
        {"CAP", K::PostalCode, Q::None},
        {"Woonplaats", K::City, Q::None},
        {"Cidade", K::City, Q::None},
        {"State/Region", K::Region, Q::None},
        {"Country/Region", K::Country, Q::None},
        {"Billing Country", K::Country, Q::Mailing},
        {"Postfach", K::PoBox, Q::None},
        {"Endereço", K::Address, Q::None},
        {"Date of Birth", K::Birthday, Q::None},
        {"Data di nascita", K::Birthday, Q::None},
        {"Geboortedatum", K::Birthday, Q::None},
        {"Birth Month", K::BirthPart, Q::None},
        {"Account Name", K::Company, Q::None},
        {"Nom de la société", K::Company, Q::None},
        {"Abteilung", K::Department, Q::None},
        {"Job Title", K::JobTitle, Q::None},
        {"Cargo", K::JobTitle, Q::None},
        {"Salutation", K::Prefix, Q::None},
        {"Titre", K::Title, Q::None},
        {"Namenszusatz", K::Suffix, Q::None},
        {"Spitzname", K::Nickname, Q::None},
        {"Weitere Vornamen", K::MiddleName, Q::None},
        {"FIRSTNAME", K::GivenName, Q::None},
        {"Voornaam", K::GivenName, Q::None},
        {"Cognome", K::FamilyName, Q::None},
        {"Sobrenome", K::FamilyName, Q::None},
        {"Nom complet", K::FullName, Q::None},
        {"Contact Name", K::FullName, Q::None},
        {"Tags", K::Categories, Q::None},
        {"Description", K::Notes, Q::None},
        {"Opmerkingen", K::Notes, Q::None},
        {"Record ID", K::Metadata, Q::None},
        {"Contact owner", K::Metadata, Q::None},
        {"Lead Status", K::Metadata, Q::None},
        {"Created Time", K::Metadata, Q::None},
        {"Email Opt Out", K::Metadata, Q::None},
        {"MEMBER_RATING", K::Metadata, Q::None},
        {"Last Activity Date", K::Metadata, Q::None},
        {"E-mail Display Name", K::Metadata, Q::None},
        {"Manager's Name", K::Unknown, Q::None},
        {"Assistant", K::Unknown, Q::None},
        {"Favourite colour", K::Unknown, Q::None},
        {"Via (uff.) 2", K::Street, Q::Work},
        {"CAP (ab.)", K::PostalCode, Q::Home},
        {"Posizione", K::JobTitle, Q::None},
        {"Mobiele telefoon", K::Mobile, Q::None},
        {"Land/regio (werk)", K::Country, Q::Work},
        {"Middelste naam", K::MiddleName, Q::None},
        {"Segundo Nome", K::MiddleName, Q::None},
        {"Rua residencial", K::Street, Q::Home},
        {"Anotações", K::Notes, Q::None},
        {"Anniversary", K::Unknown, Q::None},
    };
    for (const auto& c : cases) {
        const ColumnMeaning m = classifyColumnName(c.header);
        EXPECT_EQ(static_cast<int>(m.kind), static_cast<int>(c.kind)) << c.header;
        EXPECT_EQ(static_cast<int>(m.qualifier), static_cast<int>(c.qualifier)) << c.header;
    }
    EXPECT_EQ(classifyColumnName("Téléphone 2 (bureau)").ordinal, 2);
}

TEST(PairColumnsByName, ValuesDecideWhereTheNameSaysNothing) {
    using K = ColumnKind;
    EXPECT_EQ(kindFromValues({"ann@example.org", "", " bo@example.com "}), K::Email);
    EXPECT_EQ(kindFromValues({"https://example.org/a", "www.example.com"}), K::WebPage);
    EXPECT_EQ(kindFromValues({"+44 20 7946 0958", "(555) 010-2030"}), K::Telephone);
    EXPECT_EQ(kindFromValues({"ann@example.org", "not an address"}), K::Unknown);
    EXPECT_EQ(kindFromValues({"", " "}), K::Unknown);
    EXPECT_EQ(kindFromValues({"12345"}), K::Unknown); // too short for a number
    // Honorifics make a title the prefix, anything else the job title.
    EXPECT_EQ(resolveTitle({"Mr", "Dr.", "", "Frau", "Mme", "CEO"}), K::Prefix);
    EXPECT_EQ(resolveTitle({"VP Sales", "Mr"}), K::JobTitle);
    EXPECT_EQ(resolveTitle({}), K::Prefix);

    const NamePairing found =
        pairByName({"Col A", "Col B", "Title"}, {{"ann@example.org", "x", "Head of Sales"}});
    EXPECT_EQ(describe(found.pairs), (Headers{"0 Col A EmailAddressWork", "2 Title JobTitle"}));
}

TEST(PairColumnsByName, AddressesByTheirParts) {
    // A layout with an address in one column and the same address in parts
    // pairs the parts; a mailing address is the work address where a company
    // is named; a third street line goes below the second; other addresses
    // become further ADR lines; the work address in one column gives way to
    // the mailing address's parts.
    const Headers headers = {"Home Address",     "Home Street",      "Home City",
                             "Account Name",     "Mailing Street",   "Mailing City",
                             "Mailing Street 2", "Mailing Street 3", "Other Street",
                             "Other City",       "Work Address"};
    const NamePairing found = pairByName(headers);
    EXPECT_EQ(describe(found.pairs),
              (Headers{"1 Home Street HomeAddressStreet", "2 Home City HomeAddressCity",
                       "3 Account Name Company", "4 Mailing Street BusinessAddressStreet",
                       "5 Mailing City BusinessAddressCity",
                       "6 Mailing Street 2 BusinessAddressStreet2"}));
    EXPECT_EQ(describe(found.further), (Headers{"7 BusinessAddressStreet2", "8 ADR", "9 ADR"}));
    ASSERT_EQ(found.skipped.size(), 2u);
    EXPECT_EQ(found.skipped[0].header, "Home Address");
    EXPECT_EQ(found.skipped[1].header, "Work Address");

    ContactRecord record{std::vector<std::string>(property::kCount), {}};
    record[property::BusinessAddressStreet2] = "Floor 2";
    spreadFurtherValues({"", "", "", "", "", "", "", "Desk 9", "1 Side Rd", "Leeds", ""},
                        found.further, record);
    EXPECT_EQ(record[property::BusinessAddressStreet2], "Floor 2\nDesk 9");
    ASSERT_EQ(record.more.size(), 1u);
    EXPECT_EQ(record.more[0].address[Street], "1 Side Rd");
    EXPECT_EQ(record.more[0].address[City], "Leeds");

    // Several addresses in one carried cell are one line each; a value the
    // card holds already adds nothing.
    FurtherColumn mail;
    mail.kind = ValueKind::Email;
    record = {std::vector<std::string>(property::kCount), {}};
    record[property::EmailAddressWork] = "a@x";
    spreadFurtherValues({"a@x; b@x, c@x ::: b@x"}, {mail}, record);
    ASSERT_EQ(record.more.size(), 2u);
    EXPECT_EQ(record.more[1].value, "c@x");
}

class TypedValues : public ::testing::Test {
protected:
    const Headers headers = {"Name",
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
    void spread(const Headers& fields) { spreadTypedValues(fields, groups, record); }
};

TEST_F(TypedValues, GroupsAreFoundInTheHeader) {
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0].kind, TypedKind::Email);
    EXPECT_EQ(groups[0].label.index, 1u);
    EXPECT_EQ(groups[0].value.index, 2u);
    EXPECT_EQ(groups[2].kind, TypedKind::Address);
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
    EXPECT_EQ(record[BusinessAddressCity], "Leeds");
    EXPECT_EQ(record[PersonalWebPage], "u");

    record = empty();
    record[MobileNumber] = "taken by a fixed pair";
    spread({"Bo", "", "", "Mobile", "777", "Home", "2 Elm Rd", "", "", "", ""});
    EXPECT_EQ(record[MobileNumber], "taken by a fixed pair");
    EXPECT_EQ(record[OtherTelephoneNumber], "777");
    EXPECT_EQ(record[BusinessTelephoneNumber], "");
    EXPECT_EQ(record[HomeAddressStreet], "2 Elm Rd");
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
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(record.more[i].kind, ValueKind::Email);
        EXPECT_EQ(record.more[i].value, std::to_string(i + 4) + "@x");
        EXPECT_EQ(record.more[i].types, Headers{"WORK"});
    }
    EXPECT_EQ(record.more[3].kind, ValueKind::Telephone);
    EXPECT_EQ(record.more[3].value, "9"); // 8 took the untyped OtherTelephoneNumber
    EXPECT_EQ(record.more[3].types, (Headers{"WORK", "FAX"}));
    // A home address whose block is taken keeps every part and its type.
    const TypedValue& home = record.more[4];
    EXPECT_EQ(home.kind, ValueKind::Address);
    EXPECT_EQ(home.types, Headers{"HOME"});
    EXPECT_EQ(home.address[Street], "2 Elm Rd");
    EXPECT_EQ(home.address[City], "York");
    EXPECT_EQ(home.address[Extended], "Flat 3");
    // A short row holds no values for its missing columns.
    record = empty();
    spread({"Ann", "Work"});
    EXPECT_EQ(record.named, empty().named);
    EXPECT_TRUE(record.more.empty());
}

TEST(TypedGroupAddress, AFurtherAddressKeepsEveryPartInItsPlace) {
    using namespace property;
    const Headers headers = {"Address 1 - Label",       "Address 1 - Street",
                             "Address 1 - City",        "Address 1 - Region",
                             "Address 1 - Postal Code", "Address 1 - Country",
                             "Address 1 - PO Box",      "Address 1 - Extended Address"};
    ContactRecord record{std::vector<std::string>(kCount), {}};
    record[HomeAddressCity] = "taken";
    spreadTypedValues({"Home", "st", "ci", "re", "pc", "co", "pb", "ex"},
                      detectTypedGroups(headers), record);
    ASSERT_EQ(record.more.size(), 1u);
    EXPECT_EQ(record.more[0].address,
              (std::array<std::string, kAddressParts>{"pb", "ex", "st", "ci", "re", "pc", "co"}));
}
