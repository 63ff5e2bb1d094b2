// Birthdays read as dates, the order of a birthday column, and the cards a
// run writes from them.
#include "TestSupport.h"
#include "engine/ExportSession.h"
#include "engine/cards/Dates.h"
#include "engine/pair/HeaderNames.h"

using namespace dates;
using namespace testsupport;

namespace {

constexpr auto M = DateOrder::MonthFirst;
constexpr auto D = DateOrder::DayFirst;

// The ISO date read, "none" for a placeholder, "text" for no date.
std::string read(std::string_view value, DateOrder order) {
    const ReadDate r = readDate(value, order);
    return r.kind == DateKind::Date          ? isoDate(r.date)
           : r.kind == DateKind::Placeholder ? "none"
                                             : "text";
}

} // namespace

TEST(Dates, ReadsTheFormsExportsWrite) {
    const std::vector<std::tuple<std::string_view, DateOrder, std::string_view>> cases = {
        {"1972-06-01", D, "1972-06-01"},
        {"19720601", M, "1972-06-01"},
        {" 1972/6/1 ", M, "1972-06-01"},
        {"1972-06-01T00:00:00Z", M, "1972-06-01"},
        {"6/1/1972 12:00:00 AM", D, "1972-01-06"},
        {"06/01/1972", M, "1972-06-01"},
        {"06-01-1972", D, "1972-01-06"},
        {"13/01/1972", M, "1972-01-13"},
        {"12.25.1972", D, "1972-12-25"},
        {"01.06.1972", M, "1972-06-01"},
        {"1.6.72", M, "1972-06-01"},
        {"1/2/00", M, "2000-01-02"},
        {"29.02.2000", M, "2000-02-29"},
        {"June 1, 1972", D, "1972-06-01"},
        {"1 juin 1972", M, "1972-06-01"},
        {"1. MÄRZ 1972", M, "1972-03-01"},
        {"1 de junio de 1972", M, "1972-06-01"},
        {"1st Jun. 72", M, "1972-06-01"},
        {"1972 giugno 1", M, "1972-06-01"},
        {"06/01", M, "--06-01"},
        {"06/01", D, "--01-06"},
        {"01.06.", M, "--06-01"},
        {"--0601", M, "--06-01"},
        {"--06-01", D, "--06-01"},
        {"29.02.", M, "--02-29"},
        {"1 mei", M, "--05-01"},
        {"", M, "none"},
        {" ", M, "none"},
        {"0/0/00", M, "none"},
        {"00.00.0000", M, "none"},
        {"0000-00-00", M, "none"},
        {"1/1/1601", M, "none"},
        {"1601-01-01T00:00:00Z", M, "none"},
        {"1/1/0001", M, "none"},
        {"--00-00", M, "none"},
        {"unknown", M, "text"},
        {"29.02.1900", M, "text"},
        {"31/4/1990", M, "text"},
        {"13/13/1990", M, "text"},
        {"1972-13-01", M, "text"},
        {"1990-03/14", M, "text"},
        {"1990-03-14/x", M, "text"},
        {"1972-06", M, "text"},
        {"06/72", M, "text"},
        {"0/0/1972", M, "text"},
        {"1/1/972", M, "text"},
        {"Marsh 14, 1990", M, "text"},
        {"1972-06-01 at noon: 12:00", M, "text"},
        {"T12:00", M, "text"},
    };
    for (const auto& [value, order, expected] : cases) {
        EXPECT_EQ(read(value, order), expected) << value;
    }
}

TEST(Dates, ColumnOrderComesFromPartsAbove12ThenTheLanguage) {
    const auto order = [](const std::vector<std::string>& values, DateOrder hint) {
        const ColumnOrder found = detectDateOrder(values, hint);
        return std::pair(found.order, found.basis);
    };
    using B = OrderBasis;
    EXPECT_EQ(order({"06/01/1972", "", "25/12/1980"}, M), std::pair(D, B::Values));
    EXPECT_EQ(order({"06/01/1972", "12-25-1980"}, D), std::pair(M, B::Values));
    EXPECT_EQ(order({"13/1/70", "1/14/70", "1/15/70"}, D), std::pair(M, B::Values));
    EXPECT_EQ(order({"06/01/1972", "5/5/1990"}, D), std::pair(D, B::Language));
    EXPECT_EQ(order({"13/1/70", "1/13/70"}, M), std::pair(M, B::Language));
    // Dotted dates put the day first and ISO dates say which is which.
    EXPECT_EQ(order({"1972-06-01", "01.06.1972", "25.12.1972", "5/5/1990", "x"}, D),
              std::pair(D, B::NotNeeded));

    using H = std::vector<std::string>;
    for (const H& headers :
         {H{"Vorname", "Nachname", "E-Mail-Adresse", "Geburtstag"},
          H{"Prénom", "Nom", "Anniversaire"}, H{"Nombre", "Apellidos", "Cumpleaños"},
          H{"Nome", "Cognome", "Compleanno"}, H{"Voornaam", "Achternaam", "Verjaardag"},
          H{"Nome", "Sobrenome", "Aniversário"}}) {
        EXPECT_EQ(headerDateOrder(headers), D) << headers[0];
    }
    EXPECT_EQ(headerDateOrder({"First Name", "LastName", "Birthday", "Notes"}), M);
    EXPECT_EQ(headerDateOrder({"Name", "E-mail"}), M);
}

class DatesInCards : public ::testing::Test {
protected:
    TempHome home;
    TempDir dir;
    ExportSession session;

    // Loads the text, pairs it by names and returns the single file a run in
    // the format writes.
    std::string export_(const std::string& text, CardFormat format) {
        writeFile(dir.path() / "c.csv", text);
        EXPECT_EQ(session.load((dir.path() / "c.csv").string()), ExportSession::LoadStatus::Loaded);
        session.pairByNames();
        session.setExportOptions({format, true});
        EXPECT_TRUE(session.check());
        EXPECT_TRUE(session.start(dir.str()));
        session.wait();
        return readFile(fs::path(session.runFolder()) / "c.vcf");
    }
    std::string log() const { return readFile(home.logFile()); }
};

TEST_F(DatesInCards, BirthdaysAreIsoDatesAndTextGoesToTheNote) {
    const std::string csv = "First Name,Birthday,Notes\r\n"
                            "Ann,06/01/1972,Likes tea\r\n"
                            "Bob,25/12/1980,\r\n"
                            "Cy,in May,\"a;b\"\r\n"
                            "Di,--06-01,\r\n"
                            "Ed,0/0/00,\r\n"
                            ",0/0/00,\r\n";
    EXPECT_EQ(export_(csv, CardFormat::Classic),
              "begin:vcard\nversion:3.0\nFN:Ann \nN:;Ann;;\nBDAY:1972-01-06\nNOTE:Likes tea\n"
              "end:vcard\n"
              "begin:vcard\nversion:3.0\nFN:Bob \nN:;Bob;;\nBDAY:1980-12-25\nend:vcard\n"
              "begin:vcard\nversion:3.0\nFN:Cy \nN:;Cy;;\nNOTE:a\\;b\\nBirthday: in May\n"
              "end:vcard\n"
              "begin:vcard\nversion:3.0\nFN:Di \nN:;Di;;\nBDAY:--06-01\nend:vcard\n"
              "begin:vcard\nversion:3.0\nFN:Ed \nN:;Ed;;\nend:vcard\n"
              "begin:vcard\nversion:3.0\nend:vcard\n");
    EXPECT_NE(log().find("Info: Birthday column 'Birthday' read as day/month/year (from its "
                         "values)\n"),
              std::string::npos);
    const std::string strict = export_(csv, CardFormat::Strict);
    EXPECT_NE(strict.find("\r\nBDAY:1972-01-06\r\n"), std::string::npos);
    EXPECT_NE(strict.find("\r\nNOTE:a\\;b\\nBirthday: in May\r\n"), std::string::npos);
    EXPECT_NE(strict.find("\r\nBDAY:--06-01\r\n"), std::string::npos);
    // A placeholder is no value: it gives no BDAY, and no strict card of its own.
    EXPECT_EQ(strict.find("0/0/00"), std::string::npos);

    // Only the language can tell how 06/01 reads here.
    EXPECT_NE(export_("Vorname,Geburtstag\r\nAnn,06/01/1972\r\n", CardFormat::Classic)
                  .find("\nBDAY:1972-01-06\n"),
              std::string::npos);
    EXPECT_NE(log().find("read as day/month/year (from the header's language)"), std::string::npos);
}

TEST_F(DatesInCards, ThunderbirdsBirthPartsMakeOneBirthday) {
    const std::string cards = export_("First Name,Notes,Birth Year,Birth Month,Birth Day\r\n"
                                      "Ann,,1972,6,1\r\n"
                                      "Bob,,,12,25\r\n"
                                      "Cy,,,,\r\n"
                                      "Di,x,1980,13,1\r\n"
                                      "Eve,,1981\r\n", // a row too short for some parts
                                      CardFormat::Classic);
    EXPECT_EQ(session.pairs().size(), 2u); // the names and the notes
    EXPECT_EQ(session.freeColumns(), std::vector<std::string>{});
    EXPECT_EQ(cards,
              "begin:vcard\nversion:3.0\nFN:Ann \nN:;Ann;;\nBDAY:1972-06-01\nend:vcard\n"
              "begin:vcard\nversion:3.0\nFN:Bob \nN:;Bob;;\nBDAY:--12-25\nend:vcard\n"
              "begin:vcard\nversion:3.0\nFN:Cy \nN:;Cy;;\nend:vcard\n"
              "begin:vcard\nversion:3.0\nFN:Di \nN:;Di;;\nNOTE:x\\nBirthday: 1980-13-1\n"
              "end:vcard\n"
              "begin:vcard\nversion:3.0\nFN:Eve \nN:;Eve;;\nNOTE:Birthday: 1981\nend:vcard\n");
    EXPECT_NE(log().find("Info: Column 'Birth Month': its name; joined to 'Birthday'\n"),
              std::string::npos);

    // A column paired with the birthday by hand wins over the parts.
    ASSERT_TRUE(session.unpair(1).has_value()); // Notes
    ASSERT_EQ(session.pair("Notes", "Birthday"), ExportSession::PairResult::Paired);
    EXPECT_EQ(session.previewCard(), "begin:vcard\nversion:3.0\nFN:Ann \nN:;Ann;;\nend:vcard\n");
}
