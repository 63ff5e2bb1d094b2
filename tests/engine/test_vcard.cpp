#include "TestSupport.h"
#include "engine/Properties.h"
#include "engine/VCard.h"

#include <gtest/gtest.h>

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
}

TEST(VCard, AddressForms) {
    EXPECT_EQ(card({{BusinessAddressPostalCode, "62701"}}), wrap("ADR;type=WORK:;;;;;62701;"));
    EXPECT_EQ(card({{HomeAddressPostalCode, "1.5E+3"}}), wrap("ADR;type=HOME:;;;;;1500;"));
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
