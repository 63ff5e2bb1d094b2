#include "TestSupport.h"
#include "engine/RunState.h"
#include "engine/pair/FurtherColumns.h"
#include "engine/pair/Properties.h"

#include <gtest/gtest.h>

using namespace testsupport;
using Map = std::map<std::string, std::string>;

class Mapping : public EngineTest {
protected:
    void loadText(const std::string& text) { ASSERT_GT(load(text), 0); }
    newConvertor& c() { return *convertor; }
};

constexpr std::size_t kRecordSize = property::kCount;

TEST_F(Mapping, PairingBecomesIndexMapAndRecords) {
    loadText("Name,Town,Phone\rAnn,Leeds,555\r");
    ASSERT_TRUE(c().startStep2({{"FirstName", "Name"}, {"BusinessTelephoneNumber", "Phone"}}));
    EXPECT_EQ(mappingDictionary, (Map{{"0", "0"}, {"15", "2"}}));

    const auto record = c().mapProperties("Ann,Leeds,555");
    ASSERT_TRUE(record.has_value());
    ASSERT_EQ(record->named.size(), kRecordSize);
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        EXPECT_EQ(record->named[i], i == 0 ? "Ann" : i == 15 ? "555" : "") << i;
    }
    // Extra fields are ignored.
    EXPECT_EQ(c().mapProperties("Bo,X,1,extra,more")->named.at(15), "1");
}

TEST_F(Mapping, SameHeaderTwiceAndRepeatedColumnNames) {
    loadText("Name,Name,Mail\rAnn,Second,a@x\r");
    ASSERT_TRUE(c().startStep2({{"FirstName", "Name"}, {"FullName", "Name"}}));
    // The leftmost of two equal column names wins.
    EXPECT_EQ(mappingDictionary, (Map{{"0", "0"}, {"4", "0"}}));
    const auto record = c().mapProperties("Ann,Second,a@x");
    EXPECT_EQ(record->named.at(0), "Ann");
    EXPECT_EQ(record->named.at(4), "Ann");
}

TEST_F(Mapping, NamesMatchExactly) {
    loadText(" Name,Phone\r Ann,1\r");
    EXPECT_FALSE(c().startStep2({{"FirstName", "Name"}}));
    EXPECT_FALSE(c().startStep2({{"firstname", " Name"}}));
    EXPECT_TRUE(c().startStep2({{"FirstName", " Name"}}));
}

TEST_F(Mapping, FailedStep2KeepsThePreviousMap) {
    loadText("Name,Phone\rAnn,1\r");
    ASSERT_TRUE(c().startStep2({{"FirstName", "Name"}}));
    EXPECT_FALSE(c().startStep2({{"LastName", "Missing"}}));
    EXPECT_FALSE(c().startStep2({{"NoSuchProperty", "Phone"}}));
    EXPECT_EQ(mappingDictionary, (Map{{"0", "0"}}));
    const auto failure =
        log().find("EXCEPTION\nOccured in startStep2()\n\nname: std::invalid_argument\n");
    ASSERT_NE(failure, std::string::npos);
    EXPECT_NE(log().find("] INFO: End: STEP 2\n", failure),
              std::string::npos); // a failed step ends too
}

TEST_F(Mapping, MismatchedNamesNeverShiftAPairOntoAnotherColumn) {
    loadText("Name,Phone\rAnn,1\r");
    // One unknown property and one unknown column must not pair LastName with Name.
    EXPECT_FALSE(c().startStep2({{"AAA", "Name"}, {"LastName", "Missing"}}));
    // A pair whose two names are both unknown is ignored.
    EXPECT_TRUE(c().startStep2({{"Nothing", "Nowhere"}, {"LastName", "Name"}}));
    EXPECT_EQ(mappingDictionary, (Map{{"1", "0"}}));
}

TEST_F(Mapping, EmptyPairingMapsToEmptyRecords) {
    loadText("Name\rAnn\r");
    ASSERT_TRUE(c().startStep2({{"FirstName", "Name"}}));
    ASSERT_TRUE(c().startStep2(Map{}));
    EXPECT_TRUE(mappingDictionary.empty());
    EXPECT_EQ(c().mapProperties("Ann")->named, std::vector<std::string>(kRecordSize));
}

TEST_F(Mapping, ShortRowGivesNoRecord) {
    loadText("A,B,C\r1,2,3\r");
    ASSERT_TRUE(c().startStep2({{"FirstName", "A"}, {"LastName", "C"}}));
    EXPECT_FALSE(c().mapProperties("1,2").has_value());
    EXPECT_NE(log().find("Occured in mapProperties()\n\nname: std::out_of_range\n"),
              std::string::npos);
}

TEST_F(Mapping, QuotedCommaInHeaderKeepsColumnsAligned) {
    loadText("\"Name, full\",Phone\r\"Smith, Ann\",555\r");
    ASSERT_TRUE(c().startStep2({{"FullName", "Name, full"}, {"MobileNumber", "Phone"}}));
    const auto record = c().mapProperties("\"Smith, Ann\",555");
    EXPECT_EQ(record->named.at(4), "Smith, Ann");
    EXPECT_EQ(record->named.at(26), "555");
}

// What a spreadsheet saved and what pairing joined comes out of each row as
// the values a reader expects.
TEST(RowShapes, SavedShapesJoinedColumnsAndSeveralValues) {
    using namespace property;
    // Columns: street, number, addition, country; particle, family; mobile; name; e-mails.
    ColumnExtras extras;
    extras.houseNumbers.push_back({0, 1, 2, 3, true});
    extras.particles.push_back({5, 4});
    const std::vector<IndexPair> pairs = {{HomeAddressStreet, 0}, {LastName, 5},
                                          {MobileNumber, 6},      {FirstName, 7},
                                          {EmailAddressWork, 8},  {Notes, 8}};
    totalProperties = static_cast<std::int64_t>(kCount);
    const auto row = [&](std::string_view text) { return mapFields(text, pairs, ',', extras); };

    ContactRecord r = row("Kerkstraat,'12,A,Nederland,van der,Berg,4915112345678.0,1.0,"
                          "\"a@x.org; b@y.org\"");
    EXPECT_EQ(r[HomeAddressStreet], "Kerkstraat 12 A"); // the country writes the number after
    EXPECT_EQ(r[LastName], "van der Berg");
    EXPECT_EQ(r[MobileNumber], "4915112345678");
    EXPECT_EQ(r[FirstName], "1.0"); // only numbers lose a zero fraction
    EXPECT_EQ(r[EmailAddressWork], "a@x.org");
    EXPECT_EQ(r[Notes], "a@x.org; b@y.org"); // only phones and e-mails are taken apart
    ASSERT_EQ(r.more.size(), 1u);
    EXPECT_EQ(r.more[0].value, "b@y.org");
    EXPECT_EQ(r.more[0].types, (std::vector<std::string>{"INTERNET", "WORK"}));

    r = row("Main St,7,,,,Lee,=\"0612345678\",Ann,");
    EXPECT_EQ(r[HomeAddressStreet], "7 Main St"); // no country: the header's language's order
    EXPECT_EQ(r[LastName], "Lee");
    EXPECT_EQ(r[MobileNumber], "0612345678");
    r = row("x,,,,,,0612345678 / 0687654321,,");
    EXPECT_EQ(r[MobileNumber], "0612345678");
    ASSERT_EQ(r.more.size(), 1u);
    EXPECT_EQ(r.more[0].types, (std::vector<std::string>{"CELL"}));
    // A birthday's parts as a spreadsheet saved them.
    EXPECT_EQ(dates::birthdayFromParts({"1983.0", "6.0", "'1"}, {0, 1, 2}), "1983-06-01");
}

TEST(FurtherValues, ATelephoneSavedAsADecimalIsItsDigits) {
    FurtherColumn column;
    column.kind = ValueKind::Telephone;
    column.types = {"CELL"};
    ContactRecord r;
    spreadFurtherValues({"33612550101.0"}, {column}, r);
    ASSERT_EQ(r.more.size(), 1u);
    EXPECT_EQ(r.more[0].value, "33612550101");
    spreadFurtherValues({"33612550101.0"}, {column}, r); // the same number adds no line
    EXPECT_EQ(r.more.size(), 1u);
}
