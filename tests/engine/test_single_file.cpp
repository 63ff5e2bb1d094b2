// Every card of a run in one file: row order, contacts that could not be
// written, a write cut short, and control characters counted in the log.
#include "FaultyFiles.h"
#include "TestSupport.h"
#include "engine/RunState.h"
#include "engine/files/SingleVcfFile.h"
#include "engine/newConvertor.h"

#include <gtest/gtest.h>

using namespace testsupport;

class SingleFile : public ::testing::Test {
protected:
    TempHome home;
    TempDir dir;
    RecordingClient client;
    std::shared_ptr<newConvertor> convertor = std::make_shared<newConvertor>();

    // Loads the text as contacts.csv and runs it into one file; the run folder.
    // The hook runs just before the export.
    fs::path exportAll(const std::string& text, ExportOptions options,
                       const std::function<void()>& beforeExport = {}) {
        writeFile(dir.path() / "contacts.csv", text);
        EXPECT_GT(convertor->startStep1((dir.path() / "contacts.csv").string(), &client), 0);
        EXPECT_TRUE(convertor->startStep2({{"FirstName", "First"}, {"Notes", "Note"}}));
        options.singleFile = true;
        fs::create_directories(dir.path() / "out");
        if (beforeExport) {
            beforeExport();
        }
        convertor->startStep3({}, (dir.path() / "out").string(), options);
        return onlySubfolder(dir.path() / "out");
    }
    // The same; the file's bytes.
    std::string run(const std::string& text, ExportOptions options,
                    const std::function<void()>& beforeExport = {}) {
        const fs::path folder = exportAll(text, options, beforeExport);
        EXPECT_EQ(listFolder(folder), std::vector<std::string>{"contacts.vcf"});
        return readFile(folder / "contacts.vcf");
    }
    const RunReport& report() const { return client.reports.at(0); }
};

TEST_F(SingleFile, CardsInRowOrderAndShortOrEmptyRowsNotWritten) {
    const std::string cards =
        run("Note,First,More\r\nn1,Bob,\r\nshort\r\nn3,Ann,\r\nn3,Ann,\r\n,,x\r\n",
            {.format = CardFormat::Strict});
    const auto bob = cards.find("FN:Bob\r\n");
    const auto ann = cards.find("FN:Ann\r\n");
    ASSERT_NE(bob, std::string::npos);
    EXPECT_LT(bob, ann);
    EXPECT_EQ(cards.rfind("BEGIN:VCARD\r\n", 0), 0u);
    EXPECT_TRUE(cards.ends_with("END:VCARD\r\n"));
    // Identical rows still get UIDs of their own.
    const auto uid1 = cards.find("UID:", ann);
    const auto uid2 = cards.find("UID:", uid1 + 1);
    EXPECT_NE(cards.substr(uid1, 40), cards.substr(uid2, 40));
    EXPECT_EQ(report().written, 3);
    // A strict card is never empty: a row without a value is not written.
    EXPECT_EQ(report().failed(), 2);
    EXPECT_NE(readFile(home.logFile())
                  .find("Error: Row [6] not written: it has no value in any paired column"),
              std::string::npos);
}

TEST_F(SingleFile, ClassicCardsOnLinesOfTheirOwnAndControlCharactersCounted) {
    const std::string cards = run(std::string("First,Note\r\nA\0n,x\x01y\x02\r\nB,\r\n", 24), {});
    EXPECT_EQ(cards, "begin:vcard\nversion:3.0\nFN:An \nN:;An;;\nNOTE:xy\nend:vcard\n"
                     "begin:vcard\nversion:3.0\nFN:B \nN:;B;;\nend:vcard\n");
    EXPECT_NE(readFile(home.logFile())
                  .find("] Info: 3 control characters (NUL and others) dropped from values\n"),
              std::string::npos);
}

TEST_F(SingleFile, WriteCutShortLeavesNoHalfCard) {
    // The disk fills up half-way through the third card.
    FaultyFiles faults;
    const std::string cards =
        run("First,Note\r\nA,a\r\nB,b\r\nC," + std::string(2000, 'c') + "\r\nD,d\r\n", {},
            [&] { faults.writesFailAfter(1024, EFBIG); });

    EXPECT_EQ(cards, "begin:vcard\nversion:3.0\nFN:A \nN:;A;;\nNOTE:a\nend:vcard\n"
                     "begin:vcard\nversion:3.0\nFN:B \nN:;B;;\nNOTE:b\nend:vcard\n");
    EXPECT_EQ(report().written, 2);
    EXPECT_EQ(report().failed(), 2);
    EXPECT_NE(readFile(home.logFile()).find("Error: Failed to write the vCard of row [4]"),
              std::string::npos);
    EXPECT_EQ(report().stopReason, "File too large");
}

TEST_F(SingleFile, AFileThatCannotBeCreatedStopsTheRunAndSaysWhy) {
    FaultyFiles faults;
    const fs::path folder =
        exportAll("First,Note\r\nA,a\r\n", {}, [&] { faults.createFails(EACCES); });
    const std::string path = folder.string() + "/contacts.vcf";
    EXPECT_EQ(report().stopReason, "the file " + path + " could not be created: Permission denied");
    EXPECT_NE(readFile(home.logFile()).find("Failed to create file" + path), std::string::npos);
}

TEST_F(SingleFile, FailedCloseIsReportedOrLogged) {
    FaultyFiles faults;
    faults.closeFails(EIO);
    const std::string path = (dir.path() / "a.vcf").string();
    SingleVcfFile asked;
    ASSERT_TRUE(asked.create(path));
    EXPECT_FALSE(asked.close());
    EXPECT_EQ(errno, EIO);
    {
        SingleVcfFile unasked; // only its destructor closes it
        ASSERT_TRUE(unasked.create(path + "2"));
    }
    const std::string entry = "Error: Failed to finish writing " + path + "2: " + strerror(EIO);
    EXPECT_NE(readFile(home.logFile()).find(entry), std::string::npos);
}
