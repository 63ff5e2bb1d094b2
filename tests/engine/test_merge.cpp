// One card per person: who is one person, what the card of several rows
// holds, and a run that merges.
#include "TestSupport.h"
#include "engine/cards/MergeRows.h"
#include "engine/pair/Properties.h"

#include <gtest/gtest.h>

using namespace property;
using namespace testsupport;

namespace {

std::vector<std::size_t> people(const std::vector<ContactRecord>& records) {
    PersonFinder finder;
    for (const auto& r : records) {
        finder.add(personKeys(r));
    }
    return finder.firstOfEach();
}

} // namespace

TEST(MergeRows, WhoIsOnePerson) {
    const std::vector<ContactRecord> rows = {
        contactRecord({{FirstName, "Ann"}, {LastName, "Lee"}, {EmailAddressWork, "Ann@X.org"}}),
        // The same address in another letter case and place: the same person.
        contactRecord({{FullName, "A. Lee"}}, {{ValueKind::Email, {}, " ann@x.ORG", {}, ""}}),
        // Only a name in common: another person.
        contactRecord({{FirstName, "Ann"}, {LastName, "Lee"}, {MobileNumber, "0171 1234567"}}),
        // The same name, spaced and cased otherwise, and the same digits.
        contactRecord({{FullName, " ann  LEE "}, {HomeTelephoneNumber, "(0171) 123-4567"}}),
        // The same digits under another name: another person.
        contactRecord({{FirstName, "Bob"}, {MobileNumber, "01711234567"}}),
        // A short number shared proves nothing.
        contactRecord({{FirstName, "Bob"}, {PagerNumber, "112"}}),
        contactRecord({{FirstName, "Bob"}, {PagerNumber, "112"}}),
        // Joined through the row before it: shares Bob's e-mail, then his phone.
        contactRecord(
            {{EmailAddressHome, "bob@y.org"}, {FirstName, "Bob"}, {MobileNumber, "0171-1234567"}}),
        contactRecord({{EmailAddress2, "BOB@y.org"}}),
        contactRecord({}),
        contactRecord({}),
    };
    EXPECT_EQ(people(rows), (std::vector<std::size_t>{0, 0, 2, 2, 4, 5, 6, 4, 4, 9, 10}));
}

TEST(MergeRows, TheCardHoldsEveryValue) {
    const std::vector<std::string> labels = [] {
        std::vector<std::string> l(kNames.begin(), kNames.end());
        l[Company] = "Firma";
        return l;
    }();
    ContactRecord card = contactRecord({{FirstName, "Ann"},
                                        {Company, "Acme"},
                                        {MobileNumber, "0171 1"},
                                        {EmailAddressWork, "ann@x.org"},
                                        {HomeAddressCity, "Oslo"},
                                        {Notes, "met at fair\nTicket: T1"}});
    const ContactRecord later =
        contactRecord({{FirstName, "Ann"},
                       {Company, "Acme Ltd"},
                       {JobTitle, "CEO"},
                       {MobileNumber, "01711"},            // the same digits
                       {BusinessTelephoneNumber, "030 2"}, // a place still empty
                       {HomeTelephoneNumber, "040 3"},
                       {EmailAddressWork, "ANN@x.org"},
                       {EmailAddressHome, "ann@home.org"},
                       {HomeAddressCity, "Bergen"},
                       {BusinessAddress, "1 Main St"},
                       {Notes, "Ticket: T1\nTicket: T2"}},
                      {{ValueKind::Telephone, {"FAX"}, "030 2", {}, ""},
                       {ValueKind::Telephone, {"FAX"}, "050 5", {}, ""},
                       {ValueKind::Text, {}, "Jo", {}, "NICKNAME"}});
    mergeInto(card, later, labels);
    mergeInto(card, later, labels); // nothing more the second time
    EXPECT_EQ(card[Company], "Acme");
    EXPECT_EQ(card[JobTitle], "CEO");
    EXPECT_EQ(card[Notes], "met at fair\nTicket: T1\nFirma: Acme Ltd\nTicket: T2");
    EXPECT_EQ(card[MobileNumber], "0171 1");
    EXPECT_EQ(card[BusinessTelephoneNumber], "030 2");
    EXPECT_EQ(card[HomeTelephoneNumber], "040 3");
    EXPECT_EQ(card[EmailAddressWork], "ann@x.org");
    EXPECT_EQ(card[EmailAddressHome], "ann@home.org");
    EXPECT_EQ(card[HomeAddressCity], "Oslo");
    EXPECT_EQ(card[BusinessAddress], "1 Main St");
    ASSERT_EQ(card.more.size(), 3u);
    EXPECT_EQ(card.more[0].kind, ValueKind::Address);
    EXPECT_EQ(card.more[0].types, std::vector<std::string>{"HOME"});
    EXPECT_EQ(card.more[0].address[City], "Bergen");
    EXPECT_EQ(card.more[1].value, "050 5");
    EXPECT_EQ(card.more[2].value, "Jo");
    EXPECT_EQ(rowsOfCard({2, 5, 9}), "2, 5 and 9");
}

TEST(MergeRows, ARunWritesOneCardPerPerson) {
    TempHome home;
    TempDir dir;
    RecordingClient client;
    auto convertor = std::make_shared<newConvertor>();
    writeFile(dir.path() / "people.csv",
              "Name,Mail,Phone\r\nAnn,a@x,0301234\r\nBob,b@x,\r\nAnn,,030-1234\r\n"
              "Bob,,0301234\r\nAnn,A@X,\r\n");
    ASSERT_GT(convertor->startStep1((dir.path() / "people.csv").string(), &client), 0);
    ASSERT_TRUE(convertor->startStep2(
        {{"FullName", "Name"}, {"EmailAddressWork", "Mail"}, {"MobileNumber", "Phone"}}));
    fs::create_directories(dir.path() / "out");
    convertor->startStep3({}, (dir.path() / "out").string(),
                          {.format = CardFormat::Strict, .singleFile = true, .merge = true});
    const std::string cards = readFile(onlySubfolder(dir.path() / "out") / "people.vcf");
    EXPECT_EQ(cards.find("FN:Ann"), cards.rfind("FN:Ann"));
    EXPECT_NE(cards.find("FN:Bob\r\nN:;;;;\r\nEMAIL;type=INTERNET;type=WORK:b@x\r\nUID"),
              std::string::npos);
    const RunReport& report = client.reports.at(0);
    EXPECT_EQ(report.written, 3);
    EXPECT_EQ(report.merged, 2);
    EXPECT_EQ(report.failed(), 0);
    EXPECT_EQ(report.lines().back(), "5 rows, 3 contacts: 2 rows merged");
    EXPECT_NE(readFile(home.logFile()).find("] Info: Rows 2, 4 and 6 are one person: one card\n"),
              std::string::npos);
    RunReport thousand;
    thousand.total = 1000;
    thousand.merged = 60;
    EXPECT_EQ(thousand.lines().back(), "1,000 rows, 940 contacts: 60 rows merged");
}
