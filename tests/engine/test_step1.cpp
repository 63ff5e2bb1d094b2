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
