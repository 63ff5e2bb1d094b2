#include "TestSupport.h"
#include "engine/cards/CardValues.h"
#include "engine/cards/CardWriter.h"
#include "engine/cards/ContactPipeline.h"
#include "engine/cards/ContactUid.h"
#include "engine/cards/ControlCharacters.h"
#include "engine/cards/Folding.h"
#include "engine/cards/VCard.h"
#include "engine/pair/Properties.h"

#include <gtest/gtest.h>

#include <set>

using namespace property;

namespace {

std::vector<std::string> record(std::initializer_list<std::pair<Position, std::string>> values) {
    std::vector<std::string> r(kCount);
    for (const auto& [p, v] : values) {
        r[p] = v;
    }
    return r;
}

std::string card(std::initializer_list<std::pair<Position, std::string>> values) {
    return vCardRepresentation(record(values), "3.0").value();
}

std::string wrap(const std::string& body) {
    return "begin:vcard\nversion:3.0\n" + body + (body.empty() ? "" : "\n") + "end:vcard";
}

} // namespace

TEST(VCard, WorkedExample) {
    const std::string expected = "begin:vcard\n"
                                 "version:3.0\n"
                                 "FN:John Smith\n"
                                 "N:Smith;John;Q;Dr.;\n"
                                 "TITLE:Engineer\n"
                                 "ORG:Acme;Research\n"
                                 "ADR;type=WORK:;;1 Main St;Springfield;IL;62701;USA\n"
                                 "TEL;type=WORK:2175550000\n"
                                 "ADR;type=HOME:;;12 Elm Rd\\, Shelbyville\n"
                                 "TEL;type=HOME:555-0100\n"
                                 "TEL;type=CELL:447911000000\n"
                                 "end:vcard";
    EXPECT_EQ(card({{FirstName, "John"},
                    {LastName, "Smith"},
                    {MiddleName, "Q"},
                    {Title, "Dr."},
                    {JobTitle, "Engineer"},
                    {Company, "Acme"},
                    {Department, "Research"},
                    {BusinessAddress, "1 Main St, Springfield"},
                    {BusinessAddressStreet, "1 Main St"},
                    {BusinessAddressCity, "Springfield"},
                    {BusinessAddressState, "IL"},
                    {BusinessAddressPostalCode, "62701"},
                    {BusinessAddressCountry, "USA"},
                    {BusinessTelephoneNumber, "2.17555E+09"},
                    {HomeAddress, "12 Elm Rd, Shelbyville"},
                    {HomeTelephoneNumber, "555-0100"},
                    {MobileNumber, "4.47911E+11"}}),
              expected);
}

TEST(VCard, NameLines) {
    EXPECT_EQ(card({}), wrap(""));
    EXPECT_EQ(card({{FirstName, "John"}}), wrap("FN:John \nN:;John;;"));
    EXPECT_EQ(card({{LastName, "Smith"}}), wrap("FN: Smith\nN:Smith;;;"));
    EXPECT_EQ(card({{MiddleName, "Q"}}), wrap("FN: \nN:;;Q;"));
    EXPECT_EQ(card({{FirstName, "J"}, {FullName, "Dr J"}}), wrap("FN:Dr J\nN:;J;;"));
    // A full name alone still names the contact.
    EXPECT_EQ(card({{FullName, "Ann Lee"}}), wrap("FN:Ann Lee\nN:;;;"));
    EXPECT_EQ(card({{FullName, "Ann Lee"}, {Title, "Ms"}}), wrap("FN:Ann Lee\nN:;;;Ms;"));
    EXPECT_EQ(card({{Title, "Dr."}}), wrap(""));
    EXPECT_EQ(card({{FirstName, " "}}), wrap("FN:  \nN:; ;;"));
}

TEST(VCard, OrganisationNeedsACompany) {
    EXPECT_EQ(card({{Department, "R&D"}}), wrap(""));
    EXPECT_EQ(card({{Company, "Acme"}}), wrap("ORG:Acme"));
    // Strict cards keep a department without a company.
    EXPECT_NE(renderStrictVCard(record({{Department, "R&D"}}), "u").find("\r\nORG:;R&D\r\n"),
              std::string::npos);
}

TEST(VCard, AddressForms) {
    EXPECT_EQ(card({{BusinessAddressPostalCode, "62701"}}), wrap("ADR;type=WORK:;;;;;62701;"));
    EXPECT_EQ(card({{HomeAddressPostalCode, "1.5E+3"}}), wrap("ADR;type=HOME:;;;;;1500;"));
    // Any one part makes the parted form, each in its own place.
    EXPECT_EQ(card({{HomeAddressCity, "Oslo"}}), wrap("ADR;type=HOME:;;;Oslo;;;"));
    EXPECT_EQ(card({{BusinessAddressState, "OR"}}), wrap("ADR;type=WORK:;;;;OR;;"));
    EXPECT_EQ(card({{HomeAddressStreet2, "Flat 2"}}), wrap("ADR;type=HOME:;;Flat 2;;;;"));
    // Combined form: the postal-code rule does not touch it.
    EXPECT_EQ(card({{HomeAddress, "Flat 1E5"}}), wrap("ADR;type=HOME:;;Flat 1E5"));
    EXPECT_EQ(card({{BusinessAddress, "x"}, {BusinessAddressCountry, "UK"}}),
              wrap("ADR;type=WORK:;;;;;;UK"));
}

TEST(VCard, LinesKeepTheirOrder) {
    EXPECT_EQ(card({{EmailAddressOther, "o@x"},
                    {EmailAddressHome, "h@x"},
                    {EmailAddressWork, "w@x"},
                    {MobileNumber, "07700"},
                    {PersonalWebPage, "http://me"},
                    {HomeFaxNumber, "1"},
                    {BusinessWebPage, "http://co"},
                    {BusinessFaxNumber, "2"}}),
              wrap("TEL;type=WORK;type=FAX:2\nURL;type=WORK:http://co\nTEL;type=HOME;type=FAX:1\n"
                   "URL;type=HOME:http://me\nTEL;type=CELL:07700\n"
                   "EMAIL;type=INTERNET;type=WORK:w@x\nEMAIL;type=INTERNET;type=HOME:h@x\n"
                   "EMAIL;type=INTERNET;type=OTHER:o@x"));
}

TEST(VCard, ExponentRuleOnlyRewritesWholeNumbers) {
    using vcard::expandExponent;
    EXPECT_EQ(expandExponent("4.47911E+11"), "447911000000");
    EXPECT_EQ(expandExponent("2.17555E+09"), "2175550000");
    EXPECT_EQ(expandExponent("1.5e3"), "1500");
    EXPECT_EQ(expandExponent("-2E2"), "-200");
    EXPECT_EQ(expandExponent(" 1E2 "), "100");
    EXPECT_EQ(expandExponent("2.5E0"), "2"); // halfway goes to even
    EXPECT_EQ(expandExponent("555 ext 12"), "555 ext 12");
    EXPECT_EQ(expandExponent("0E0"), "0E0");
    EXPECT_EQ(expandExponent("Ext. 12"), "Ext. 12");
    EXPECT_EQ(expandExponent("555-0100"), "555-0100");
    EXPECT_EQ(expandExponent("1E400"), "1E400"); // no number would fit
    EXPECT_EQ(expandExponent("E5"), "E5");
    EXPECT_EQ(expandExponent("1E"), "1E");
    EXPECT_EQ(expandExponent("0x1p3"), "0x1p3");
    // A decimal comma, as spreadsheets in many languages write it.
    EXPECT_EQ(expandExponent("4,91701E+11"), "491701000000");
    EXPECT_EQ(expandExponent("1,2,3E5"), "1,2,3E5");
    EXPECT_EQ(expandExponent("1.2,3E5"), "1.2,3E5");
    EXPECT_EQ(expandExponent("4,9E+11, 5"), "4,9E+11, 5");
    EXPECT_EQ(card({{EmailAddressWork, "1E5@x"}, {JobTitle, "3E2"}}),
              wrap("TITLE:3E2\nEMAIL;type=INTERNET;type=WORK:1E5@x"));
}

TEST(VCard, ValuesAreEscaped) {
    EXPECT_EQ(card({{FirstName, "A;B"}, {LastName, "C,D\\E"}}),
              wrap("FN:A\\;B C\\,D\\\\E\nN:C\\,D\\\\E;A\\;B;;"));
    EXPECT_EQ(card({{HomeAddressStreet, "1 Main St\r\nFlat 2\rRear\nGate"}}),
              wrap("ADR;type=HOME:;;1 Main St\\nFlat 2\\nRear\\nGate;;;;"));
    // URLs keep their commas and semicolons; only line breaks are escaped.
    EXPECT_EQ(card({{BusinessWebPage, "http://x/a;b,c\nd"}}),
              wrap("URL;type=WORK:http://x/a;b,c\\nd"));
    // No value can start a line of its own.
    EXPECT_EQ(card({{Company, "Acme\nEND:VCARD"}}), wrap("ORG:Acme\\nEND:VCARD"));
}

TEST(VCard, ShortRecordGivesNoText) {
    testsupport::TempHome home;
    EXPECT_FALSE(vCardRepresentation(std::vector<std::string>(29), "3.0").has_value());
}

// The strict card, its UIDs and the values rewritten on the way into a card
// (birthdays, categories, control characters).

TEST(StrictCard, WorkedExample) {
    // 52 "é" (two octets each) put the 75-octet limit inside a character.
    std::string note;
    for (int i = 0; i < 52; ++i) {
        note += "\xC3\xA9";
    }
    const auto r = record({{FirstName, "Zoë"},
                           {LastName, "Brontë"},
                           {NameSuffix, "Jr."},
                           {Company, "Acme; Inc"},
                           {HomeAddressStreet, "1 Elm Rd"},
                           {HomeAddressStreet2, "Flat 2"},
                           {EmailAddress2, "z@x"},
                           {PagerNumber, "1.5E+3"},
                           {Nickname, "Zo"},
                           {Birthday, "14.03.1990"},
                           {Categories, "Friends ::: * myContacts ::: a,b"},
                           {Notes, "x" + note}});
    EXPECT_EQ(renderStrictVCard(r, "u-1"), "BEGIN:VCARD\r\n"
                                           "VERSION:3.0\r\n"
                                           "FN:Zoë Brontë\r\n"
                                           "N:Brontë;Zoë;;;Jr.\r\n"
                                           "ORG:Acme\\; Inc\r\n"
                                           "ADR;type=HOME:;;1 Elm Rd\\nFlat 2;;;;\r\n"
                                           "EMAIL;type=INTERNET:z@x\r\n"
                                           "TEL;type=PAGER:1500\r\n"
                                           "NICKNAME:Zo\r\n"
                                           "BDAY:1990-03-14\r\n"
                                           "CATEGORIES:Friends,* myContacts,a\\,b\r\n"
                                           "NOTE:x" +
                                               note.substr(0, 68) + "\r\n " + note.substr(68) +
                                               "\r\n" +
                                               "UID:u-1\r\n"
                                               "END:VCARD\r\n");
    // The classic card keeps its form; the suffix takes N's fifth place.
    EXPECT_EQ(renderVCard(record({{LastName, "Lee"}, {NameSuffix, "Sr."}}), "3.0"),
              "begin:vcard\nversion:3.0\nFN: Lee\nN:Lee;;;;Sr.\nend:vcard");
}

TEST(StrictCard, EveryCardHasAnFnAndAFullN) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {record({{FullName, "Dr A"}, {FirstName, "A"}}), "FN:Dr A"},
        {record({{FirstName, "A"}, {MiddleName, "B"}, {LastName, "C"}}), "FN:A B C"},
        {record({{LastName, "C"}, {Company, "Co"}}), "FN:C"},
        {record({{Company, "Co, Ltd"}, {EmailAddressWork, "w@x"}}), "FN:Co\\, Ltd"},
        {record({{EmailAddress3, "3@x"}, {EmailAddressHome, "h@x"}, {MobileNumber, "1"}}),
         "FN:h@x"},
        {record({{CarTelephoneNumber, "9"}, {MobileNumber, "4.47911E+11"}}), "FN:447911000000"},
        {record({{Nickname, "Bee"}, {Notes, "n"}}), "FN:Bee"},
        {record({{Birthday, "1985-12-01"}}), "FN:1985-12-01"},
        {record({}), "FN:"},
    };
    for (const auto& [r, fn] : cases) {
        const std::string card = renderStrictVCard(r, "u");
        EXPECT_NE(card.find("\r\n" + fn + "\r\n"), std::string::npos) << card;
        EXPECT_NE(card.find("\r\nN:"), std::string::npos) << card;
    }
    EXPECT_NE(renderStrictVCard(record({}), "u").find("\r\nN:;;;;\r\n"), std::string::npos);
}

TEST(StrictCard, FoldingNeverSplitsACharacter) {
    // Four-octet characters after one ASCII octet: the cut must move back.
    std::string line = "N";
    for (int i = 0; i < 40; ++i) {
        line += "\xF0\x9F\x98\x80";
    }
    const std::string folded = vcard::foldLines(line);
    std::size_t start = 0;
    for (auto end = folded.find("\r\n"); end != std::string::npos;
         start = end + 2, end = folded.find("\r\n", start)) {
        const std::string_view piece(folded.data() + start, end - start);
        EXPECT_LE(piece.size(), 75u);
        const std::size_t firstOctet = start == 0 ? 0 : 1;
        EXPECT_NE(static_cast<unsigned char>(piece[firstOctet]) & 0xC0, 0x80);
    }
    EXPECT_EQ(vcard::foldLines(std::string(75, 'a')), std::string(75, 'a') + "\r\n");
    EXPECT_EQ(vcard::foldLines(std::string(76, 'a')), std::string(75, 'a') + "\r\n a\r\n");
    // A continuation line holds 74 octets after its blank.
    EXPECT_EQ(vcard::foldLines(std::string(150, 'a')),
              std::string(75, 'a') + "\r\n " + std::string(74, 'a') + "\r\n a\r\n");
}

TEST(CardWriters, FurtherValuesFollowTheNamedLinesInBothFormats) {
    using enum ValueKind;
    const ContactRecord r{
        record({{FirstName, "Ann"}}),
        {{Telephone, {"WORK", "CELL"}, "4.47911E+11", {}, ""},
         // Types that would break the line's head are left out.
         {Telephone, {"My;Label", "a b", "HOME"}, "555", {}, ""},
         {Email, {"INTERNET", "HOME"}, "a;b@x", {}, ""},
         {Address, {"HOME"}, "", {"", "", "1 Elm\nRear", "Town", "", "6.27E+4", ""}, ""},
         {WebPage, {"WORK"}, "http://x/a;b,c", {}, ""},
         {Date, {}, "14.03.1990", {}, "X-ANNIVERSARY"},
         {Text, {}, "Jo, Jr", {}, "NICKNAME"},
         {Text, {}, std::string(80, 'x'), {}, "NOTE"},
         // No line: empty values, an unusable or card-framing property name.
         {Address, {"WORK"}, "", {}, ""},
         {Telephone, {"CELL"}, "", {}, ""},
         {Text, {}, "", {}, "NOTE"},
         {Text, {}, "x", {}, "end"},
         {Text, {}, "x", {}, "X:Y"}}};
    const std::string further = "TEL;type=WORK;type=CELL:447911000000\n"
                                "TEL;type=HOME:555\n"
                                "EMAIL;type=INTERNET;type=HOME:a\\;b@x\n"
                                "ADR;type=HOME:;;1 Elm\\nRear;Town;;62700;\n"
                                "URL;type=WORK:http://x/a;b,c\n"
                                "X-ANNIVERSARY:1990-03-14\n"
                                "NICKNAME:Jo\\, Jr\n"
                                "NOTE:" +
                                std::string(80, 'x');
    EXPECT_EQ(cardWriter(CardFormat::Classic).write(r, "u"),
              "begin:vcard\nversion:3.0\nFN:Ann \nN:;Ann;;\n" + further + "\nend:vcard");
    const std::string strict = cardWriter(CardFormat::Strict).write(r, "u");
    EXPECT_EQ(strict, vcard::foldLines("BEGIN:VCARD\nVERSION:3.0\nFN:Ann\nN:;Ann;;;\n" + further +
                                       "\nUID:u\nEND:VCARD"));
    EXPECT_NE(strict.find("\r\n " + std::string(10, 'x') + "\r\nUID:u\r\n"), std::string::npos);
    // A contact known only by a further e-mail address is named after it.
    const ContactRecord mailOnly{record({}), {{Email, {}, "m@x", {}, ""}}};
    EXPECT_NE(cardWriter(CardFormat::Strict).write(mailOnly, "u").find("\r\nFN:m@x\r\n"),
              std::string::npos);
}

TEST(ContactUid, StableUniqueAndWellFormed) {
    // Lengths around the block's 56 and 64 bytes, where the padding changes.
    const auto hex = [](const std::array<std::uint8_t, 20>& digest) {
        std::string out;
        for (const auto byte : digest) {
            out += "0123456789abcdef"[byte >> 4];
            out += "0123456789abcdef"[byte & 15];
        }
        return out;
    };
    const std::pair<std::size_t, std::string_view> vectors[] = {
        {0, "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {55, "c1c8bbdc22796e28c0e15163d20899b65621d65a"},
        {56, "c2db330f6083854c99d4b5bfb6e8f29f201be699"},
        {64, "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
        {119, "ee971065aaa017e0632a8ca6c77bb3bf8b1dfc56"},
    };
    for (const auto& [length, expected] : vectors) {
        EXPECT_EQ(hex(uid::sha1(std::string(length, 'a'))), expected) << length;
        EXPECT_EQ(hex(uid::portableSha1(std::string(length, 'a'))), expected) << length;
    }
    // The processor's SHA instructions, where it has them, agree with the
    // portable rounds on every length and byte.
    std::string bytes;
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(uid::sha1(bytes), uid::portableSha1(bytes)) << i;
        bytes += static_cast<char>(i * 37 + 11);
    }
    // A UID once written names the contact on a server: it never changes.
    EXPECT_EQ(uid::rowUuid("Ann,Lee", 0), "9fe8b9e7-82ce-5076-998f-dd03fbed9152");
    EXPECT_EQ(uid::rowUuid(std::string(100, 'x'), 12), "c3e56ff6-b5be-5906-a5e6-e689dceb483b");

    const std::string row = "Ann,Lee,a@x";
    EXPECT_EQ(uid::rowUuid(row, 0), uid::rowUuid(std::string(row), 0));
    EXPECT_NE(uid::rowUuid("x1", 0), uid::rowUuid("x", 10)); // row and count kept apart
    std::set<std::string> seen;
    uid::RowOccurrences occurrences;
    for (const std::string_view r : {"Ann,Lee", "Ann,Lee", "Ann,Lee ", "Ann,Lee"}) {
        const std::string id = uid::rowUuid(r, occurrences.countBefore(r));
        EXPECT_EQ(id.size(), 36u);
        EXPECT_EQ(id[14], '5');
        EXPECT_NE(std::string("89ab").find(id[19]), std::string::npos) << id;
        EXPECT_TRUE(seen.insert(id).second) << id;
    }
    // Rows hashed two at a time give each row's own hash, whatever their lengths.
    std::vector<std::string> texts;
    for (std::size_t n = 0; n < 400; n += 9) {
        texts.push_back(std::string(n, static_cast<char>('a' + n % 26)));
        texts.push_back(std::string(399 - n, 'z'));
    }
    texts.push_back("odd one out");
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    std::vector<uid::RowHash> together;
    uid::RowHash::hashAll(views, together);
    ASSERT_EQ(together.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::string a;
        std::string b;
        together[i].uuidInto(a, 3);
        uid::RowHash(texts[i]).uuidInto(b, 3);
        EXPECT_EQ(a, b) << texts[i].size();
        EXPECT_EQ(together[i].fingerprint(), uid::RowHash(texts[i]).fingerprint());
    }
    // Counted without room made first: the table grows under rows already met.
    uid::RowOccurrences grown;
    std::vector<std::string> rows;
    for (int i = 0; i < 1000; ++i) {
        rows.push_back("row " + std::to_string(i % 300));
    }
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(grown.countBefore(rows[i]), static_cast<std::uint64_t>(i / 300)) << i;
    }
}

// With an identity column the UID comes from its value as a spreadsheet may
// save it again; a row without one keeps its row's UID, and without the option
// every UID stays the row's.
TEST(ContactUid, FromTheIdentityValueElseTheRow) {
    const ExportOptions byId{.format = CardFormat::Strict, .idColumn = 1};
    for (const auto& [row, made] :
         std::vector<std::pair<std::string, std::string>>{{"Ann,0042", "0042"},
                                                          {"Ann,=\"0042\"", "0042"},
                                                          {"Ann, 1234.0 ,x", "1234"},
                                                          {"\"Lee, Ann\",7", "7"},
                                                          {"Ann,", "Ann,"},
                                                          {"Ann", "Ann"}}) {
        EXPECT_EQ(contactUid(row, 3, byId, ','), uid::rowUuid(made, 3)) << row;
    }
    EXPECT_EQ(contactUid("Ann,0042", 0, {.format = CardFormat::Strict}, ','),
              uid::rowUuid("Ann,0042", 0));
    EXPECT_EQ(contactUid("Ann,0042", 0, {.idColumn = 1}, ','), ""); // a card without a UID
}

TEST(CardValues, CategoriesOfEveryExporter) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(vcard::categoryGroups("Friends ::: * myContacts ::: a,b"),
              (V{"Friends", "* myContacts", "a,b"}));
    EXPECT_EQ(vcard::categoryGroups("Clients;Banque|VIP\nPress"),
              (V{"Clients", "Banque", "VIP", "Press"}));
    EXPECT_EQ(vcard::categoryGroups("\"Customers\", \"VIP\",,"), (V{"Customers", "VIP"}));
}

TEST(CardValues, ControlCharactersAreDroppedButTabsAndLineBreaksStay) {
    std::vector<std::string> r = {std::string("a\0b\x01\x1F", 5), "t\tl\r\nx\x7F", ""};
    EXPECT_EQ(dropControlCharacters(r), 3u);
    EXPECT_EQ(r[0], "ab");
    EXPECT_EQ(r[1], "t\tl\r\nx\x7F");
    // A row is looked at eight bytes at a time, past words with line breaks.
    EXPECT_FALSE(holdsControlCharacters("a long line\r\nwith\ttabs, breaks\rand nothing else"));
    EXPECT_TRUE(holdsControlCharacters("0123456\r\n0123456789abcdef\x01"));
    EXPECT_TRUE(holdsControlCharacters(std::string("x\0", 2)));
}
