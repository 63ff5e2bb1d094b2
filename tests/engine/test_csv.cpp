#include "Csv.h"
#include "TestSupport.h"

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

TEST(RemoveEmptyContacts, TrimsCommasThenBlanksButKeepsRowsUntrimmed) {
    const Rows rows = {"", ",, ,,", ",,\t,", "\t", ", , ,", " , ", " Ann ,1", "\"\""};
    // An inner comma survives the trim, so such a row still counts as a contact.
    EXPECT_EQ(removeEmptyContacts(rows), (Rows{", , ,", " , ", " Ann ,1", "\"\""}));
}

class CsvFile : public ::testing::Test {
protected:
    TempHome home;
    TempDir dir;
    std::string write(const std::string& name, const std::string& bytes) {
        const auto path = dir.path() / name;
        writeFile(path, bytes);
        return path.string();
    }
};

TEST_F(CsvFile, DecodesUtf8AndDropsTheByteOrderMark) {
    const auto data = getCsvFileData(write("a.csv", "\xEF\xBB\xBFName\rRen\xC3\xA9\r"));
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(*data, "Name\rRen\xC3\xA9\r");
}

TEST_F(CsvFile, RefusesWhatIsNotUtf8Text) {
    EXPECT_FALSE(getCsvFileData(write("latin1.csv", "Name\rRen\xE9\r")).has_value());
    EXPECT_FALSE(
        getCsvFileData(write("bin.csv", std::string("\x89PNG\r\n\x1a\n\xff\x00", 10))).has_value());
    EXPECT_FALSE(getCsvFileData((dir.path() / "missing.csv").string()).has_value());
    EXPECT_FALSE(getCsvFileData(dir.str()).has_value()); // a folder
    EXPECT_TRUE(getCsvFileData(write("empty.csv", "")).has_value());
}
