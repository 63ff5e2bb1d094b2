#include "FaultyFiles.h"
#include "TestSupport.h"
#include "engine/RunState.h"
#include "engine/files/FileCalls.h"
#include "engine/pair/Properties.h"
#include "engine/read/Csv.h"
#include "engine/read/CsvLoad.h"

#include <cerrno>

#include <gtest/gtest.h>

using namespace testsupport;
using Fields = std::vector<std::string>;
using Rows = std::vector<std::string_view>;

TEST(SplitString, QuotedFieldsFollowRfc4180) {
    struct Case {
        std::string row;
        Fields fields;
    };
    const std::vector<Case> cases = {
        {R"(a,"b,c",d)", {"a", "b,c", "d"}},
        {R"("x""y")", {"x\"y"}},
        {",,", {"", "", ""}},
        {"a,", {"a", ""}},
        {"", {""}},
        // A quote inside a field is an ordinary character.
        {R"(ab"c,d"e)", {"ab\"c", "d\"e"}},
        {R"(O"Brien,x)", {"O\"Brien", "x"}},
        // A field that is never closed runs to the end of the row.
        {R"(a,"b,c)", {"a", "b,c"}},
        {" a , b ", {" a ", " b "}},
        {R"( "a",b)", {" \"a\"", "b"}},
        {R"("",x)", {"", "x"}},
        {R"("""")", {"\""}},
        {R"("ab"cd,e)", {"abcd", "e"}},
        {"\"line\r\nbreak\",z", {"line\r\nbreak", "z"}},
    };
    for (const auto& c : cases) {
        const auto fields = splitString(c.row);
        ASSERT_TRUE(fields.has_value()) << c.row;
        EXPECT_EQ(*fields, c.fields) << c.row;
    }
}

TEST(SplitRows, EveryKindOfLineBreakEndsARow) {
    EXPECT_EQ(splitRows("a\rb\nc\r\nd"), (Rows{"a", "b", "c", "d"}));
    // CR LF is one break: no row starts with a line feed, no phantom row.
    EXPECT_EQ(splitRows("h\r\nx\r\n"), (Rows{"h", "x", ""}));
    EXPECT_EQ(splitRows("a\r\rb"), (Rows{"a", "", "b"}));
    EXPECT_TRUE(splitRows("").empty());
}

TEST(SplitRows, LineBreaksInsideQuotesBelongToTheField) {
    const std::string text = "Name,Address\r\n\"Ann\",\"1 Main St\r\nSpringfield\"\r\nBob,x\r\n";
    const auto rows = removeEmptyContacts(splitRows(text));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1], "\"Ann\",\"1 Main St\r\nSpringfield\"");
    EXPECT_EQ(*splitString(rows[1]), (Fields{"Ann", "1 Main St\r\nSpringfield"}));
    EXPECT_EQ(rows[2], "Bob,x");
}

TEST(SplitRows, QuoteInsideAFieldDoesNotOpenQuoting) {
    const auto rows = splitRows("a,b\"c\nd,e\"f\ng");
    EXPECT_EQ(rows, (Rows{"a,b\"c", "d,e\"f", "g"}));
}

TEST(SplitRows, UnclosedQuoteOnlyHoldsItsOwnLine) {
    const std::string text = "H1,H2\nAnn,\"never closed, at all\nBob,2\nCid,3\n";
    const auto rows = removeEmptyContacts(splitRows(text));
    EXPECT_EQ(rows, (Rows{"H1,H2", "Ann,\"never closed, at all", "Bob,2", "Cid,3"}));
    EXPECT_EQ(*splitString(rows[1]), (Fields{"Ann", "never closed, at all"}));
}

TEST(SplitRows, UnclosedQuoteBeforeManyDoubledQuotes) {
    // The only later quotes come doubled, so the first one is never closed.
    std::string text = "h\n\"open\n";
    for (int i = 0; i < 200000; ++i) {
        text += "x,\"\"\"\"y\n";
    }
    const auto rows = removeEmptyContacts(splitRows(text));
    ASSERT_EQ(rows.size(), 200002u);
    EXPECT_EQ(rows[1], "\"open");
    EXPECT_EQ(*splitString(rows[2]), (Fields{"x", "\"y"}));
}

// A long text's second half is cut on its own thread from the first line feed
// past the middle. Wherever that falls, the rows and their numbers of fields
// are those of one pass: inside a quoted field (for one of the four offsets)
// the second half's rows come right at the next row, or, where a quote then
// seems to open a field (",\",z"), never.
TEST(SplitRows, LongTextCutInHalvesGivesTheRowsOfOnePass) {
    const std::string x(200, 'x');
    for (const std::string& tail :
         {"\n" + std::string(200, 'y') + "\",\"z\"", std::string("\n,\",z")}) {
        for (const std::size_t offset : {0, 200, 400, 600}) {
            std::string text = std::string(offset, 'h') + "\r\n";
            constexpr int kRows = 22000; // past the 4 MiB from which the halves are used
            for (int i = 0; i < kRows; ++i) {
                text += "N" + std::to_string(i) + ",\"" + x + tail + "\r\n";
            }
            std::vector<std::uint32_t> fields;
            const Rows rows = splitRows(text, ',', &fields);
            ASSERT_EQ(rows.size(), kRows + 2u) << offset;
            ASSERT_EQ(fields.size(), rows.size());
            for (int i = 0; i < kRows; ++i) {
                ASSERT_EQ(rows[i + 1], "N" + std::to_string(i) + ",\"" + x + tail) << offset;
                ASSERT_EQ(fields[i + 1], 3u) << offset << " row " << i;
            }
        }
    }
}

TEST(RemoveEmptyContacts, TrimsCommasThenBlanksButKeepsRowsUntrimmed) {
    const Rows rows = {"", ",, ,,", ",,\t,", "\t", ", , ,", " , ", " Ann ,1", "\"\""};
    // An inner comma survives the trim, so such a row still counts as a contact.
    EXPECT_EQ(removeEmptyContacts(rows), (Rows{", , ,", " , ", " Ann ,1", "\"\""}));
}

// Loading: step 1 counts the contacts and hands both name lists to its client.
class Load : public EngineTest {};

TEST_F(Load, CountsContactsAndPublishesBothLists) {
    for (const std::string text :
         {"N,P\rA,1\rB,2\rC,3", "N,P\nA,1\nB,2\nC,3\n", "N,P\r\nA,1\r\nB,2\r\nC,3\r\n",
          "\r\n,,\r\n \t\r\nN,P\nA,1\nB,2\nC,3"}) {
        EXPECT_EQ(load(text), 3) << text;
        EXPECT_EQ(client.headers, (std::vector<std::string>{"N", "P"}));
        // Three contacts: 100 / 3 as a 4-byte float.
        EXPECT_EQ(progressIncrementByValue, 33.333332f);
    }
    ASSERT_EQ(client.properties.size(), property::kCount);
    EXPECT_EQ(client.properties[15], "BusinessTelephoneNumber");
    EXPECT_EQ(client.properties[29], "EmailAddressOther");
    EXPECT_EQ(client.properties.back(), "OtherFaxNumber");
    EXPECT_EQ(totalProperties, static_cast<std::int64_t>(property::kCount));
    EXPECT_EQ(sender, &client);
}

TEST_F(Load, HeaderKeepsEmptyNamesAndQuotedCommas) {
    ASSERT_EQ(load("A,\"B,C\",,D\r\n1,2,3,4\r\n"), 1);
    EXPECT_EQ(client.headers, (std::vector<std::string>{"A", "B,C", "", "D"}));
}

TEST_F(Load, UnusableFilesGiveZeroAndPublishNothing) {
    for (const std::string& bytes : {
             std::string(), std::string("Name,Phone\r\n"), std::string(",,\r\n \t \r\n"),
             std::string("\x7f"
                         "ELF\x02\x01\x01\x00\xff\xfe",
                         10),
             std::string(20 * 1024 * 1024, 'x'), // one huge line: a header only
         }) {
        client = RecordingClient{};
        EXPECT_EQ(load(bytes), 0) << bytes.substr(0, 20);
        EXPECT_TRUE(client.headers.empty());
        EXPECT_TRUE(client.properties.empty());
    }
    EXPECT_EQ(convertor->startStep1((dir.path() / "nope.csv").string(), &client), 0);
    EXPECT_EQ(convertor->startStep1(dir.str(), &client), 0);
}

TEST_F(Load, TenThousandColumns) {
    std::string header;
    std::string row;
    for (int i = 0; i < 10000; ++i) {
        header += (i ? "," : "") + std::string("C") + std::to_string(i);
        row += (i ? "," : "") + std::to_string(i);
    }
    EXPECT_EQ(load(header + "\n" + row + "\n" + row + "\n"), 2);
    EXPECT_EQ(client.headers.size(), 10000u);
}

TEST_F(Load, ReasonsAndFindingsAreGivenAndLogged) {
    struct Case {
        std::string bytes;
        CsvLoadOptions options;
        std::string reason;
    };
    const std::vector<Case> refused = {
        {"", {}, "it is empty"},
        {"Name,Phone\r\n", {}, "it holds a header row and no contacts"},
        {std::string("\x7f"
                     "ELF\x02\x00\xff",
                     7),
         {},
         "it is not a text file"},
    };
    for (const auto& c : refused) {
        convertor = std::make_shared<newConvertor>();
        convertor->setLoadOptions(c.options);
        EXPECT_EQ(load(c.bytes), 0);
        EXPECT_EQ(convertor->loadDiagnostics().refusalReason, c.reason);
        EXPECT_NE(log().find("] Error: CSV file refused: " + c.reason + "\n"), std::string::npos);
    }
    convertor = std::make_shared<newConvertor>();
    ASSERT_EQ(load("Notes:\r\nN;P;Q\r\nAnn;1;2;3\r\nBo;2;3\r\nCy;1\r\n\r\n(c) 2026\r\n"), 3);
    EXPECT_EQ(client.headers, (std::vector<std::string>{"N", "P", "Q"}));
    EXPECT_EQ(convertor->loadDiagnostics().refusalReason, "");
    EXPECT_EQ(convertor->loadDiagnostics().wideRows, 1u);
    EXPECT_EQ(convertor->loadDiagnostics().shortRows, 1u);
    EXPECT_EQ(convertor->loadDiagnostics().footerLinesSkipped, 1u);
    for (const std::string line :
         {"Info: CSV encoding: UTF-8", "Info: CSV delimiter: ;",
          "Info: CSV lines above the header skipped: 1", "Info: CSV rows wider than the header: 1",
          "Info: CSV lines below the contacts skipped: 1",
          "Info: CSV rows shorter than the header: 1"}) {
        EXPECT_NE(log().find("] " + line + "\n"), std::string::npos) << line;
    }
    ASSERT_TRUE(convertor->startStep2({{"FirstName", "N"}, {"MobileNumber", "Q"}}));
    EXPECT_EQ((*convertor->mapProperties("Bo;2;3"))[property::MobileNumber], "3");
}

TEST_F(Load, RowNumbersCountTheLinesAboveTheHeader) {
    ASSERT_EQ(load("Notes:\nFirst,Last\nAnn,Lee\n", {{"FirstName", "First"}}), 1);
    // The file system takes no file of the contact's name: its entry names its line in the file.
    FaultyFiles faults;
    faults.linksFail(ENAMETOOLONG);
    run();
    EXPECT_NE(log().find("Row number: [3]:\nInvalid First Name"), std::string::npos);
}

TEST_F(Load, StrayBytesInUtf8AreReadAsWindows1252AndTheirRowsNamed) {
    // UTF-8 but for four bytes pasted from an older program (rows 1, 4 and 6; the
    // line above the header is row 1, a quoted line break stays in its row).
    const std::string mixed =
        "Contacts \xA9 2026\r\nFirst;Last;City\r\nRen\xC3\xA9;\xC5\x81\xC3\xB3"
        "d\xC5\xBA;K\xC3\xB6ln\r\n\xC9milie;Ray;\"Le\r\nMans\"\r\n"
        "Ann;Lee;Oslo\r\nBo;M\xFCller;Z\xFCrich\r\n";
    ASSERT_EQ(load(mixed, {{"FirstName", "First"}, {"LastName", "Last"}}), 4);
    EXPECT_EQ(convertor->loadDiagnostics().encoding, "UTF-8");
    EXPECT_NE(log().find("] Warning: CSV bytes that are not UTF-8, read as Windows-1252: 4, in "
                         "rows 1, 4, 6\n"),
              std::string::npos);
    const auto rows = convertor->previewRows(4);
    EXPECT_EQ(rows[1], (std::vector<std::string>{"Ren\xC3\xA9",
                                                 "\xC5\x81\xC3\xB3"
                                                 "d\xC5\xBA",
                                                 "K\xC3\xB6ln"}));
    EXPECT_EQ(rows[2][0], "\xC3\x89milie"); // a stray byte first in its row
    EXPECT_EQ(rows[4][1], "M\xC3\xBCller");
    EXPECT_EQ(convertor->loadDiagnostics().strayBytesNote,
              "4 bytes that are not UTF-8 were read as Windows-1252, in rows 1, 4, 6.");
    // One pasted row of more such bytes than the file has UTF-8 letters leaves
    // the others alone.
    std::string pasted = "First;Last\r\n";
    for (int i = 0; i < 3; ++i) {
        pasted += "Jos\xC3\xA9;M\xC3\xBCller\r\n";
    }
    ASSERT_EQ(load(pasted + "Ren" + std::string(101, '\xE9') + ";x\r\n"), 4);
    EXPECT_EQ(convertor->previewRows(4)[3][0], "Jos\xC3\xA9");
    EXPECT_EQ(convertor->previewRows(4)[4][0].substr(0, 5), "Ren\xC3\xA9");
    EXPECT_EQ(convertor->loadDiagnostics().strayBytesNote,
              "101 bytes that are not UTF-8 were read as Windows-1252, in row 5.");
    // Beyond five rows, the rest are counted.
    for (int i = 0; i < 3; ++i) {
        pasted += "R\xE9;\xE9\r\n";
    }
    ASSERT_EQ(load(pasted + pasted), 13);
    EXPECT_EQ(convertor->loadDiagnostics().strayBytesNote,
              "12 bytes that are not UTF-8 were read as Windows-1252, in rows 5, 6, 7, 12, 13 and "
              "1 more.");
    // Only a file without any UTF-8 sequence is read whole as Windows-1252.
    const std::string ansi = "First;Last\r\nJOS\xC9S;M\xFCller\r\nRen;L\xE9\r\n";
    ASSERT_EQ(load(ansi), 2);
    EXPECT_EQ(convertor->loadDiagnostics().encoding, "Windows-1252");
    EXPECT_EQ(convertor->loadDiagnostics().strayBytesNote, "");
    // Chosen as UTF-8, or marked so, stray bytes never refuse the file.
    for (const std::string& bytes : {ansi, "\xEF\xBB\xBF" + ansi}) {
        convertor = std::make_shared<newConvertor>();
        convertor->setLoadOptions({CsvEncodingChoice::Utf8, {}});
        ASSERT_EQ(load(bytes), 2);
        EXPECT_EQ(convertor->previewRows(2)[2][1], "L\xC3\xA9");
        EXPECT_EQ(convertor->loadDiagnostics().strayBytesNote,
                  "3 bytes that are not UTF-8 were read as Windows-1252, in rows 2, 3.");
    }
}
