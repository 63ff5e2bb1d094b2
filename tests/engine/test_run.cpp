#include "RunState.h"
#include "TestSupport.h"
#include "newConvertor.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

const std::string kThreeContacts = "First,Last,Phone\r\n"
                                   "Ann,Lee,555\r\n"
                                   "Bob,Ray,4.47911E+11\r\n"
                                   "Cid,Day,\r\n";

std::size_t count(const std::string& haystack, const std::string& needle) {
    std::size_t n = 0;
    for (auto at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + 1)) {
        ++n;
    }
    return n;
}

} // namespace

class Run : public ::testing::Test {
protected:
    TempHome home;
    TempDir dir;
    RecordingClient client;
    std::shared_ptr<newConvertor> convertor = std::make_shared<newConvertor>();

    std::int64_t load(const std::string& text,
                      std::map<std::string, std::string> pairing = {{"FirstName", "First"},
                                                                    {"LastName", "Last"},
                                                                    {"MobileNumber", "Phone"}}) {
        const auto path = dir.path() / "contacts.csv";
        writeFile(path, text);
        const auto n = convertor->startStep1(path.string(), &client);
        EXPECT_TRUE(convertor->startStep2(pairing));
        return n;
    }
    fs::path destination() const { return dir.path() / "out"; }
    void run(std::stop_token token = {}) {
        fs::create_directories(destination());
        convertor->startStep3(token, destination().string());
    }
    std::string log() const { return readFile(home.logFile()); }
    const std::vector<std::string>& report() const {
        EXPECT_EQ(client.reports.size(), 1u);
        return client.reports.back();
    }
};

TEST_F(Run, WritesOneFilePerContactAndReports) {
    ASSERT_EQ(load(kThreeContacts), 3);
    run();
    const fs::path folder = onlySubfolder(destination());
    EXPECT_EQ(listFolder(folder),
              (std::vector<std::string>{"AnnLee.vcf", "BobRay.vcf", "CidDay.vcf"}));
    EXPECT_EQ(readFile(folder / "BobRay.vcf"),
              "begin:vcard\nversion:3.0\nFN:Bob Ray\nN:Ray;Bob;;\nTEL;type=CELL:447911000000\n"
              "end:vcard");
    EXPECT_EQ(client.increments, std::vector<float>(3, 33.333332f));
    EXPECT_EQ(report(), (std::vector<std::string>{
                            "Total Contacts\t : 3", "Successful\t\t : 3", "Failed\t\t : 0",
                            "\nvCards can be found at path :\n" + vcardOutputFolderPath}));
    EXPECT_EQ(vcardOutputFolderPath,
              destination().string() + "/" + folder.filename().string() + "/");
    const std::string text = log();
    EXPECT_LT(text.find("Info: Start: STEP 3"), text.find("INFO: End: STEP 3"));
    EXPECT_EQ(count(text, "INFO: End: STEP 3"), 1u);
}

TEST_F(Run, UnmappableRowFailsAndTheRunGoesOn) {
    ASSERT_EQ(load("First,Last,Phone\rAnn,Lee,1\rShort\rCid,Day,3\r"), 3);
    run();
    EXPECT_EQ(client.increments.size(), 3u);
    EXPECT_EQ(report()[1], "Successful\t\t : 2");
    EXPECT_EQ(report()[2], "Failed\t\t : 1");
    EXPECT_EQ(listFolder(onlySubfolder(destination())).size(), 2u);
}

TEST_F(Run, NameWithoutAFileIsLoggedWithItsRowNumber) {
    // A destination so deep that only short file names still fit in a path.
    fs::path deep = dir.path();
    while (deep.string().size() < 4043 - 201) {
        deep /= std::string(200, 'd');
    }
    deep /= std::string(4043 - deep.string().size() - 1, 'e');
    ASSERT_EQ(deep.string().size(), 4043u);
    fs::create_directories(deep);

    ASSERT_EQ(load("First,Last,Phone\rA,,1\rBartholomew-Alexander,Featherstone,2\rC,,3\r"), 3);
    convertor->startStep3({}, deep.string());
    EXPECT_EQ(client.increments.size(), 3u);
    EXPECT_EQ(report()[1], "Successful\t\t : 2");
    EXPECT_NE(
        log().find("Failed to create vCard for contact in CSV, Row number: [3]:\nInvalid First "
                   "Name or Middle Name or Last Name.\nTry using a name with fewer "
                   "characters, or with no punctuation marks.\n"),
        std::string::npos);
}

TEST_F(Run, CancelBeforeAGivenRow) {
    ASSERT_EQ(load("First,Last,Phone\rA,a,1\rB,b,2\rC,c,3\rD,d,4\rE,e,5\r"), 5);
    std::stop_source stop;
    client.onNotify = [&](std::size_t calls) {
        if (calls == 2) {
            stop.request_stop();
        }
    };
    run(stop.get_token());
    EXPECT_EQ(client.increments.size(), 2u);
    EXPECT_EQ(report(),
              (std::vector<std::string>{
                  "Migration canceled.\nTotal Contacts\t : 5", "Successful\t\t : 2",
                  "Failed\t\t : 3", "\nvCards can be found at path :\n" + vcardOutputFolderPath}));
    EXPECT_EQ(listFolder(onlySubfolder(destination())).size(), 2u);
    const std::string text = log();
    EXPECT_NE(text.find("] Info: Migration cancelled\n"), std::string::npos);
    EXPECT_NE(text.find("] Migration canceled.\nTotal Contacts\t : 5\n"), std::string::npos);
    EXPECT_NE(text.find("] Failed\t\t : 3\n"), std::string::npos);
    EXPECT_EQ(text.find("INFO: End: STEP 3"), std::string::npos);
}

TEST_F(Run, CancelAtEveryRowCountsExactly) {
    for (std::size_t at = 0; at <= 4; ++at) {
        convertor = std::make_shared<newConvertor>();
        client = RecordingClient{};
        ASSERT_EQ(load("First,Last,Phone\rA,a,1\rB,b,2\rC,c,3\rD,d,4\r"), 4);
        std::stop_source stop;
        if (at == 0) {
            stop.request_stop();
        }
        client.onNotify = [&](std::size_t calls) {
            if (calls == at) {
                stop.request_stop();
            }
        };
        run(stop.get_token());
        const bool cancelled = at < 4;
        EXPECT_EQ(client.increments.size(), at);
        EXPECT_EQ(report()[0].starts_with("Migration canceled.\n"), cancelled);
        EXPECT_EQ(report()[1], "Successful\t\t : " + std::to_string(at));
        EXPECT_EQ(report()[2], "Failed\t\t : " + std::to_string(4 - at));
    }
}

TEST_F(Run, RowsNotReachedLeaveNoTraceInTheLog) {
    std::string text = "First,Last,Phone\rA,a,1\r";
    for (int i = 0; i < 200; ++i) {
        text += "short\r"; // every one of these rows is too short to map
    }
    ASSERT_EQ(load(text), 201);
    std::stop_source stop;
    client.onNotify = [&](std::size_t calls) {
        if (calls == 3) {
            stop.request_stop();
        }
    };
    run(stop.get_token());
    // Contacts 2 and 3 were reached and failed; the 198 after them were not.
    EXPECT_EQ(count(log(), "Occured in mapProperties()"), 2u);
    EXPECT_EQ(report()[1], "Successful\t\t : 1");
    EXPECT_EQ(report()[2], "Failed\t\t : 200");
    // The failures are logged in row order, before the cancellation.
    EXPECT_LT(log().rfind("Occured in mapProperties()"), log().find("Info: Migration cancelled"));
}

TEST_F(Run, RunFolderRemovedDuringTheRun) {
    ASSERT_EQ(load("First,Last,Phone\rA,a,1\rB,b,2\rC,c,3\rD,d,4\r"), 4);
    client.onNotify = [&](std::size_t calls) {
        if (calls == 2) {
            fs::remove_all(vcardOutputFolderPath);
        }
    };
    run();
    EXPECT_EQ(client.increments.size(), 2u);
    EXPECT_EQ(report()[1], "Successful\t\t : 0");
    EXPECT_EQ(report()[2], "Failed\t\t : 4");
    EXPECT_TRUE(listFolder(destination()).empty());
}

TEST_F(Run, UnwritableDestinationWritesNothing) {
    ASSERT_EQ(load(kThreeContacts), 3);
    convertor->startStep3({}, "/proc");
    EXPECT_TRUE(client.increments.empty());
    EXPECT_EQ(report()[0], "Total Contacts\t : 3");
    EXPECT_EQ(report()[1], "Successful\t\t : 0");
    EXPECT_EQ(report()[2], "Failed\t\t : 3");
}

TEST_F(Run, UsesTheTextStep1ReadEvenIfTheFileChanges) {
    ASSERT_EQ(load(kThreeContacts), 3);
    fs::remove(dir.path() / "contacts.csv");
    run();
    EXPECT_EQ(report()[1], "Successful\t\t : 3");
}

TEST_F(Run, MultiLineQuotedValuesSurviveTheRoundTrip) {
    ASSERT_EQ(load("First,Last,Street\r\n\"Ann\",\"O'Lee, Jr\",\"1 Main St\r\nFlat 2\"\r\n",
                   {{"FirstName", "First"}, {"LastName", "Last"}, {"HomeAddressStreet", "Street"}}),
              1);
    run();
    const fs::path folder = onlySubfolder(destination());
    EXPECT_EQ(readFile(folder / "AnnO'Lee, Jr.vcf"),
              "begin:vcard\nversion:3.0\nFN:Ann O'Lee\\, Jr\nN:O'Lee\\, Jr;Ann;;\n"
              "ADR;type=HOME:;;1 Main St\\nFlat 2;;;;\nend:vcard");
}
