#include "Properties.h"
#include "RunState.h"
#include "TestSupport.h"
#include "newConvertor.h"

#include <gtest/gtest.h>

using namespace testsupport;

class Step1 : public ::testing::Test {
protected:
    TempHome home;
    TempDir dir;
    RecordingClient client;

    std::int64_t load(const std::string& bytes, newConvertor& c) {
        const auto path = dir.path() / "contacts.csv";
        writeFile(path, bytes);
        return c.startStep1(path.string(), &client);
    }
};

TEST_F(Step1, CountsContactsAndPublishesBothLists) {
    newConvertor c;
    EXPECT_EQ(load("Name,Phone\rAnn,1\rBob,2\r", c), 2);
    EXPECT_EQ(client.headers, (std::vector<std::string>{"Name", "Phone"}));
    ASSERT_EQ(client.properties.size(), 30u);
    EXPECT_EQ(client.properties.front(), "FirstName");
    EXPECT_EQ(client.properties[15], "BusinessTelephoneNumber");
    EXPECT_EQ(client.properties.back(), "EmailAddressOther");
    EXPECT_EQ(totalProperties, 30);
    EXPECT_FLOAT_EQ(progressIncrementByValue, 50.0f);
    EXPECT_EQ(sender, &client);
    EXPECT_EQ(parent, &client);
}

TEST_F(Step1, LineEndingsOfCommonExportsCountTheSame) {
    for (const std::string text :
         {"N,P\rA,1\rB,2\rC,3", "N,P\nA,1\nB,2\nC,3\n", "N,P\r\nA,1\r\nB,2\r\nC,3\r\n",
          "\r\n,,\r\n \t\r\nN,P\nA,1\nB,2\nC,3"}) {
        newConvertor c;
        EXPECT_EQ(load(text, c), 3) << text;
        EXPECT_EQ(client.headers, (std::vector<std::string>{"N", "P"}));
        // Three contacts: 100 / 3 as a 4-byte float.
        EXPECT_EQ(progressIncrementByValue, 33.333332f);
    }
}

TEST_F(Step1, HeaderKeepsEmptyNamesAndQuotedCommas) {
    newConvertor c;
    ASSERT_EQ(load("A,\"B,C\",,D\r\n1,2,3,4\r\n", c), 1);
    EXPECT_EQ(client.headers, (std::vector<std::string>{"A", "B,C", "", "D"}));
}

TEST_F(Step1, UnusableFilesGiveZeroAndTouchNothing) {
    const std::vector<std::string> bad = {
        "",
        "Name,Phone\r\n",
        ",,\r\n \t \r\n",
        std::string("Name\rRen\0\xE9\r", 10),
        std::string("\x7f"
                    "ELF\x02\x01\x01\x00\xff\xfe",
                    10),
    };
    for (const auto& bytes : bad) {
        newConvertor c;
        RecordingClient fresh;
        const auto path = dir.path() / "bad.csv";
        writeFile(path, bytes);
        EXPECT_EQ(c.startStep1(path.string(), &fresh), 0);
        EXPECT_TRUE(fresh.headers.empty());
        EXPECT_TRUE(fresh.properties.empty());
        EXPECT_EQ(totalProperties, 0);
        EXPECT_EQ(progressIncrementByValue, 0.0f);
    }
    newConvertor c;
    EXPECT_EQ(c.startStep1((dir.path() / "nope.csv").string(), &client), 0);
    EXPECT_EQ(c.startStep1(dir.str(), &client), 0);
}

TEST_F(Step1, HugeLinesAndWideRowsAreHandled) {
    newConvertor c;
    // 50 MB without a line break: only a header, so no contacts.
    EXPECT_EQ(load(std::string(50 * 1024 * 1024, 'x'), c), 0);

    std::string header;
    std::string row;
    for (int i = 0; i < 10000; ++i) {
        header += (i ? "," : "") + std::string("C") + std::to_string(i);
        row += (i ? "," : "") + std::to_string(i);
    }
    newConvertor wide;
    EXPECT_EQ(load(header + "\n" + row + "\n" + row + "\n", wide), 2);
    EXPECT_EQ(client.headers.size(), 10000u);
}

TEST_F(Step1, NewConverterStartsAFreshState) {
    {
        newConvertor first;
        load("Name\rAnn\r", first);
        ASSERT_TRUE(first.startStep2({{"FirstName", "Name"}}));
        EXPECT_FALSE(mappingDictionary.empty());
    }
    g_unknownCount = 7;
    newConvertor second;
    EXPECT_TRUE(mappingDictionary.empty());
    EXPECT_EQ(totalProperties, 0);
    EXPECT_EQ(g_unknownCount, 1);
    EXPECT_EQ(g_count, 0);
    EXPECT_EQ(vcardOutputFolderPath, "");
    const std::string log = readFile(home.logFile());
    EXPECT_NE(log.find("] Start Application\n"), std::string::npos);
    EXPECT_NE(log.find("] End Application\n"), std::string::npos);
    EXPECT_NE(log.find("] Info: Start: STEP 1\n"), std::string::npos);
    EXPECT_NE(log.find("] INFO: End: STEP 1\n"), std::string::npos);
}

TEST_F(Step1, ReasonsAndFindingsAreGivenAndLogged) {
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
        {"N;P\r\nRen\xE9;1\r\n", {CsvEncodingChoice::Utf8, {}}, "it is not valid UTF-8 text"},
    };
    for (const auto& c : refused) {
        newConvertor convertor;
        convertor.setLoadOptions(c.options);
        EXPECT_EQ(load(c.bytes, convertor), 0);
        EXPECT_EQ(convertor.loadDiagnostics().refusalReason, c.reason);
        EXPECT_NE(readFile(home.logFile()).find("] Error: CSV file refused: " + c.reason + "\n"),
                  std::string::npos);
    }
    newConvertor c;
    ASSERT_EQ(load("Notes:\r\nN;P;Q\r\nAnn;1;2;3\r\nBo;2;3\r\n", c), 2);
    EXPECT_EQ(client.headers, (std::vector<std::string>{"N", "P", "Q"}));
    EXPECT_EQ(c.loadDiagnostics().refusalReason, "");
    EXPECT_EQ(c.loadDiagnostics().wideRows, 1u);
    const std::string log = readFile(home.logFile());
    for (const std::string line : {"Info: CSV encoding: UTF-8", "Info: CSV delimiter: ;",
                                   "Info: CSV lines above the header skipped: 1",
                                   "Info: CSV rows wider than the header: 1"}) {
        EXPECT_NE(log.find("] " + line + "\n"), std::string::npos) << line;
    }
    ASSERT_TRUE(c.startStep2({{"FirstName", "N"}, {"MobileNumber", "Q"}}));
    EXPECT_EQ(c.mapProperties("Bo;2;3")->at(property::MobileNumber), "3");
}

TEST_F(Step1, RowNumbersCountTheLinesAboveTheHeader) {
    auto c = std::make_shared<newConvertor>();
    ASSERT_EQ(
        load("Notes:\nName,E-mail 1 - Type,E-mail 1 - Value\nAnn,Work,a ::: b ::: c ::: d ::: "
             "e ::: f\n",
             *c),
        1);
    c->setTypedGroups(detectTypedGroups(client.headers));
    ASSERT_TRUE(c->startStep2({{"FirstName", "Name"}}));
    c->startStep3({}, dir.str());
    EXPECT_NE(readFile(home.logFile())
                  .find("] Info: Row number: [3]: values with no free vCard property, not carried: "
                        "E-mail 1 - Value\n"),
              std::string::npos);
}
