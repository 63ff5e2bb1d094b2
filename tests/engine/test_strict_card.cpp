// The strict card's bytes, its UIDs and the values that are rewritten on the
// way into a card (birthdays, categories, control characters).
#include "engine/CardValues.h"
#include "engine/ContactUid.h"
#include "engine/ControlCharacters.h"
#include "engine/Properties.h"
#include "engine/VCard.h"

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

} // namespace

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
}

TEST(ContactUid, StableUniqueAndWellFormed) {
    const auto digest = uid::sha1("abc");
    EXPECT_EQ(digest[0], 0xa9);
    EXPECT_EQ(digest[19], 0x9d);
    EXPECT_EQ(uid::sha1(std::string(1000, 'a')), uid::sha1(std::string(1000, 'a')));

    const std::string row = "Ann,Lee,a@x";
    EXPECT_EQ(uid::rowUuid(row, 0), uid::rowUuid(std::string(row), 0));
    std::set<std::string> seen;
    uid::RowOccurrences occurrences;
    for (const std::string_view r : {"Ann,Lee", "Ann,Lee", "Ann,Lee ", "Ann,Lee"}) {
        const std::string id = uid::rowUuid(r, occurrences.countBefore(r));
        EXPECT_EQ(id.size(), 36u);
        EXPECT_EQ(id[14], '5');
        EXPECT_NE(std::string("89ab").find(id[19]), std::string::npos) << id;
        EXPECT_TRUE(seen.insert(id).second) << id;
    }
}

TEST(CardValues, BirthdaysBecomeIsoDatesOnlyWhenUnambiguous) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"1990-03-14", "1990-03-14"},
        {"19900314", "1990-03-14"},
        {"1990/3/4", "1990-03-04"},
        {"14.03.1990", "1990-03-14"},
        {"4.3.1990", "1990-03-04"},
        {"3/14/1990", "1990-03-14"},
        {"14/3/1990", "1990-03-14"},
        {"14-03-1990", "1990-03-14"},
        {"5/5/1990", "1990-05-05"},
        {"March 14, 1990", "1990-03-14"},
        {"mar 4 1990", "1990-03-04"},
        {"14 March 1990", "1990-03-14"},
        {"14-Mar-1990", "1990-03-14"},
        {"29.02.2000", "2000-02-29"},
        // As written: ambiguous, impossible, incomplete or not a date.
        {"03/04/1990", "03/04/1990"},
        {"29.02.1900", "29.02.1900"},
        {"31/4/1990", "31/4/1990"},
        {"14.03.90", "14.03.90"},
        {"--03-14", "--03-14"},
        {"1990-03-14/x", "1990-03-14/x"},
        {"Marsh 14, 1990", "Marsh 14, 1990"},
        {"", ""},
        {"1990-13-01", "1990-13-01"},
        {"1990-03/14", "1990-03/14"},
    };
    for (const auto& [written, expected] : cases) {
        EXPECT_EQ(vcard::birthdayValue(written), expected) << written;
    }
}

TEST(CardValues, ControlCharactersAreDroppedButTabsAndLineBreaksStay) {
    std::vector<std::string> r = {std::string("a\0b\x01\x1F", 5), "t\tl\r\nx\x7F", ""};
    EXPECT_EQ(dropControlCharacters(r), 3u);
    EXPECT_EQ(r[0], "ab");
    EXPECT_EQ(r[1], "t\tl\r\nx\x7F");
}
