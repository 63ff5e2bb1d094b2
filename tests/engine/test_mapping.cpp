#include "Properties.h"
#include "RunState.h"
#include "TestSupport.h"
#include "newConvertor.h"

#include <gtest/gtest.h>

using namespace testsupport;
using Map = std::map<std::string, std::string>;

class Mapping : public ::testing::Test {
protected:
    TempHome home;
    TempDir dir;
    RecordingClient client;
    newConvertor convertor;

    void load(const std::string& text) {
        const auto path = dir.path() / "contacts.csv";
        writeFile(path, text);
        ASSERT_GT(convertor.startStep1(path.string(), &client), 0);
    }
    std::string log() const { return readFile(home.logFile()); }
};

constexpr std::size_t kRecordSize = property::kCount;

TEST_F(Mapping, PairingBecomesIndexMapAndRecords) {
    load("Name,Town,Phone\rAnn,Leeds,555\r");
    ASSERT_TRUE(
        convertor.startStep2({{"FirstName", "Name"}, {"BusinessTelephoneNumber", "Phone"}}));
    EXPECT_EQ(mappingDictionary, (Map{{"0", "0"}, {"15", "2"}}));

    const auto record = convertor.mapProperties("Ann,Leeds,555");
    ASSERT_TRUE(record.has_value());
    ASSERT_EQ(record->size(), kRecordSize);
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        EXPECT_EQ((*record)[i], i == 0 ? "Ann" : i == 15 ? "555" : "") << i;
    }
    // Extra fields are ignored.
    EXPECT_EQ(convertor.mapProperties("Bo,X,1,extra,more")->at(15), "1");
}

TEST_F(Mapping, SameHeaderTwiceAndRepeatedColumnNames) {
    load("Name,Name,Mail\rAnn,Second,a@x\r");
    ASSERT_TRUE(convertor.startStep2({{"FirstName", "Name"}, {"FullName", "Name"}}));
    // The leftmost of two equal column names wins.
    EXPECT_EQ(mappingDictionary, (Map{{"0", "0"}, {"4", "0"}}));
    const auto record = convertor.mapProperties("Ann,Second,a@x");
    EXPECT_EQ(record->at(0), "Ann");
    EXPECT_EQ(record->at(4), "Ann");
}

TEST_F(Mapping, NamesMatchExactly) {
    load(" Name,Phone\r Ann,1\r");
    EXPECT_FALSE(convertor.startStep2({{"FirstName", "Name"}}));
    EXPECT_FALSE(convertor.startStep2({{"firstname", " Name"}}));
    EXPECT_TRUE(convertor.startStep2({{"FirstName", " Name"}}));
}

TEST_F(Mapping, FailedStep2KeepsThePreviousMap) {
    load("Name,Phone\rAnn,1\r");
    ASSERT_TRUE(convertor.startStep2({{"FirstName", "Name"}}));
    EXPECT_FALSE(convertor.startStep2({{"LastName", "Missing"}}));
    EXPECT_FALSE(convertor.startStep2({{"NoSuchProperty", "Phone"}}));
    EXPECT_EQ(mappingDictionary, (Map{{"0", "0"}}));
    EXPECT_NE(log().find("EXCEPTION\nOccured in startStep2()\n\nname: std::invalid_argument\n"),
              std::string::npos);
    EXPECT_NE(log().find("] INFO: End: STEP 2\n"), std::string::npos);
}

TEST_F(Mapping, MismatchedNamesNeverShiftAPairOntoAnotherColumn) {
    load("Name,Phone\rAnn,1\r");
    // One unknown property and one unknown column must not pair LastName with Name.
    EXPECT_FALSE(convertor.startStep2({{"AAA", "Name"}, {"LastName", "Missing"}}));
    // A pair whose two names are both unknown is ignored.
    EXPECT_TRUE(convertor.startStep2({{"Nothing", "Nowhere"}, {"LastName", "Name"}}));
    EXPECT_EQ(mappingDictionary, (Map{{"1", "0"}}));
}

TEST_F(Mapping, EmptyPairingMapsToEmptyRecords) {
    load("Name\rAnn\r");
    ASSERT_TRUE(convertor.startStep2({{"FirstName", "Name"}}));
    ASSERT_TRUE(convertor.startStep2({}));
    EXPECT_TRUE(mappingDictionary.empty());
    EXPECT_EQ(*convertor.mapProperties("Ann"), std::vector<std::string>(kRecordSize));
}

TEST_F(Mapping, ShortRowGivesNoRecord) {
    load("A,B,C\r1,2,3\r");
    ASSERT_TRUE(convertor.startStep2({{"FirstName", "A"}, {"LastName", "C"}}));
    EXPECT_FALSE(convertor.mapProperties("1,2").has_value());
    EXPECT_NE(log().find("Occured in mapProperties()\n\nname: std::out_of_range\n"),
              std::string::npos);
}

TEST_F(Mapping, QuotedCommaInHeaderKeepsColumnsAligned) {
    load("\"Name, full\",Phone\r\"Smith, Ann\",555\r");
    ASSERT_TRUE(convertor.startStep2({{"FullName", "Name, full"}, {"MobileNumber", "Phone"}}));
    const auto record = convertor.mapProperties("\"Smith, Ann\",555");
    EXPECT_EQ(record->at(4), "Smith, Ann");
    EXPECT_EQ(record->at(26), "555");
}
