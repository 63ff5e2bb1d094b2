#include "FaultyFiles.h"
#include "TestSupport.h"
#include "engine/RunState.h"
#include "engine/Text.h"
#include "engine/files/Output.h"
#include "engine/newConvertor.h"

#include <gtest/gtest.h>

#include <functional>
#include <regex>

using namespace testsupport;

namespace {

std::vector<std::string> named(const std::string& first, const std::string& last) {
    std::vector<std::string> r(30);
    r[0] = first;
    r[1] = last;
    return r;
}

} // namespace

class Naming : public ::testing::Test {
protected:
    TempHome home;
    TempDir dir;
    newConvertor convertor; // resets the counters a run starts from

    void SetUp() override { vcardOutputFolderPath = dir.str() + "/"; }

    // Writes one contact's card the way the run does and returns the file name
    // alone, or what kept it out in angle brackets.
    std::string next(const std::string& first, const std::string& last) {
        g_count = 1;
        const std::string card = "card of " + first + last;
        const PlacedCard placed = createVcardFile(card, contactNameBase(named(first, last)));
        if (placed.result != PlacedCard::Written) {
            return "<" + text::systemReason(placed.error) + ">";
        }
        EXPECT_EQ(placed.path.rfind(vcardOutputFolderPath + "/", 0), 0u) << placed.path;
        EXPECT_EQ(readFile(placed.path), card);
        return fs::path(placed.path).filename().string();
    }
};

TEST_F(Naming, SameNamesAreNumbered) {
    EXPECT_EQ(next("John", "Smith"), "JohnSmith.vcf");
    EXPECT_EQ(next("John", "Smith"), "JohnSmith(1).vcf");
    EXPECT_EQ(next("John", "Smith"), "JohnSmith(2).vcf");
    EXPECT_EQ(next("Jo/Ann", "Lee"), "JoAnnLee.vcf");
    EXPECT_EQ(next("JohnSmith(3)", ""), "JohnSmith(3).vcf");
    // The plain name of another contact took (3): the next Smith skips it.
    EXPECT_EQ(next("John", "Smith"), "JohnSmith(4).vcf");
    EXPECT_EQ(g_count, 1);
}

TEST_F(Naming, ExistingFilesAndFoldersAreNeverReused) {
    writeFile(dir.path() / "AnnLee.vcf", "keep me");
    writeFile(dir.path() / "AnnLee(1).vcf", "keep me too");
    fs::create_directory(dir.path() / "BoMay.vcf");
    EXPECT_EQ(next("Ann", "Lee"), "AnnLee(2).vcf");
    EXPECT_EQ(next("Bo", "May"), "BoMay(1).vcf");
    EXPECT_EQ(readFile(dir.path() / "AnnLee.vcf"), "keep me");
    EXPECT_EQ(readFile(dir.path() / "AnnLee(1).vcf"), "keep me too");
}

TEST_F(Naming, NumberedNamesFillGapsInOrder) {
    writeFile(dir.path() / "JohnSmith.vcf", "old");
    writeFile(dir.path() / "JohnSmith(2).vcf", "old");
    EXPECT_EQ(next("John", "Smith"), "JohnSmith(1).vcf");
    EXPECT_EQ(next("John", "Smith"), "JohnSmith(3).vcf");
    EXPECT_EQ(next("John", "Smith"), "JohnSmith(4).vcf");
    // A new run folder starts its own numbering.
    const fs::path second = dir.path() / "second";
    fs::create_directory(second);
    vcardOutputFolderPath = second.string() + "/";
    EXPECT_EQ(next("John", "Smith"), "JohnSmith.vcf");
}

TEST_F(Naming, NamelessContactsShareOneCounter) {
    writeFile(dir.path() / "no_name2.vcf", "old");
    EXPECT_EQ(next("", ""), "no_name1.vcf");
    EXPECT_EQ(next("", ""), "no_name3.vcf");
    EXPECT_EQ(next("", ""), "no_name4.vcf");
    EXPECT_EQ(g_unknownCount, 5);
}

TEST_F(Naming, LongNamesAreCutAtThirtyUnits) {
    EXPECT_EQ(next("Maximilian-Alexander", "Featherstonehaugh"),
              "Maximilian-AlexanderFeathersto~.vcf");
    EXPECT_EQ(next("Maximilian-Alexander", "Feathersto-other"),
              "Maximilian-AlexanderFeathersto~(1).vcf");
    // Exactly 30 units stay whole; 31 are cut.
    EXPECT_EQ(fileNameBase(std::string(30, 'a'), ""), std::string(30, 'a'));
    EXPECT_EQ(fileNameBase(std::string(31, 'a'), ""), std::string(30, 'a') + "~");
}

TEST_F(Naming, CutNeverSplitsACharacter) {
    const std::string emoji = "\xF0\x9F\x98\x80"; // two UTF-16 units
    const std::string base = fileNameBase(std::string(29, 'a') + emoji + "b", "");
    EXPECT_EQ(base, std::string(29, 'a') + "~");
    const std::string accents = fileNameBase(std::string(29, 'a') + "\xC3\xA9\xC3\xA9", "");
    EXPECT_EQ(accents, std::string(29, 'a') + "\xC3\xA9~");
}

TEST_F(Naming, HostileNamesStayInsideTheRunFolderAndNeverClashOrHide) {
    const std::string n30(30, 'n');
    struct Case {
        std::string first, last, file;
    };
    const std::vector<Case> cases = {
        {"../../x", "", "x.vcf"},
        {"/", "", "no_name1.vcf"},
        {"..", "", "no_name2.vcf"},
        {".", "vcf", "vcf.vcf"},
        {"..passwd", "", "passwd.vcf"},
        {"-!-", " ", "no_name3.vcf"},
        {"-rf", "", "-rf.vcf"},
        // Marks that turn the text's direction: "txt.exe" would show as "exe.txt".
        {"\xE2\x80\xAEtxt.exe", "", "txt.exe.vcf"},
        {"a\xE2\x81\xA6"
         "b\xE2\x80\x8F\xD8\x9C",
         "c", "abc.vcf"},
        {"/etc/", "passwd", "etcpasswd.vcf"},
        {"ann", "lee", "annlee.vcf"},
        {"ANN", "LEE", "ANNLEE.vcf"},
        {"a\nb", "", "ab.vcf"},
        {std::string("c\0d\x7f\te", 7), "", "cde.vcf"},
        {n30, "", n30 + ".vcf"},
        {n30 + "a", "", n30 + "~.vcf"},
        {n30 + "b", "", n30 + "~(1).vcf"},
    };
    writeFile(dir.path().parent_path() / "x.vcf", "outside");
    for (const auto& c : cases) {
        EXPECT_EQ(next(c.first, c.last), c.file);
    }
    EXPECT_EQ(listFolder(dir.path()).size(), cases.size());
    EXPECT_EQ(readFile(dir.path().parent_path() / "x.vcf"), "outside");
    fs::remove(dir.path().parent_path() / "x.vcf");
}

TEST_F(Naming, ACardThatCannotGoInLeavesNoNameAndSaysWhy) {
    struct Case {
        std::function<void(FaultyFiles&)> fault;
        PlacedCard::Result result;
        int error;
    };
    const std::vector<Case> cases = {
        {[](FaultyFiles& f) { f.createFails(EROFS); }, PlacedCard::Stopped, EROFS},
        // Out of inodes: no new file; a full disk: the card's bytes.
        {[](FaultyFiles& f) { f.createFails(ENOSPC); }, PlacedCard::Stopped, ENOSPC},
        {[](FaultyFiles& f) { f.writesFailAfter(3, ENOSPC); }, PlacedCard::Stopped, ENOSPC},
        // A close that fails may have lost the card: the name goes again.
        {[](FaultyFiles& f) { f.closeFails(EIO); }, PlacedCard::Stopped, EIO},
        {[](FaultyFiles& f) { f.linksFail(EDQUOT); }, PlacedCard::Stopped, EDQUOT},
        // A name the file system refuses fails this contact only.
        {[](FaultyFiles& f) { f.linksFail(ENAMETOOLONG); }, PlacedCard::NameRefused, ENAMETOOLONG},
        {[](FaultyFiles& f) { f.noUnnamedFiles(); }, PlacedCard::Written, 0},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const fs::path folder = dir.path() / std::to_string(i);
        fs::create_directory(folder);
        vcardOutputFolderPath = folder.string() + "/";
        FaultyFiles faults;
        cases[i].fault(faults);
        const PlacedCard placed = createVcardFile("a card", std::string("Ann"));
        EXPECT_EQ(placed.result, cases[i].result) << i;
        EXPECT_EQ(placed.error, cases[i].error) << i;
        const auto left = placed.result == PlacedCard::Written ? std::vector<std::string>{"Ann.vcf"}
                                                               : std::vector<std::string>{};
        EXPECT_EQ(listFolder(folder), left) << i;
    }
    EXPECT_NE(readFile(home.logFile()).find("Failed to create file" + dir.str() + "/4//Ann.vcf"),
              std::string::npos);
    // While the card is written, no name in the folder holds it yet: a program
    // killed then leaves nothing that passes for a card.
    fs::create_directory(dir.path() / "killed");
    vcardOutputFolderPath = (dir.path() / "killed").string() + "/";
    FaultyFiles faults;
    static bool namedWhileWritten = false;
    fileCalls().writeDescriptor = [](int fd, const void* data, std::size_t count) {
        namedWhileWritten = !fs::is_empty(vcardOutputFolderPath);
        return ::write(fd, data, count);
    };
    EXPECT_EQ(next("Bo", "Ray"), "BoRay.vcf");
    EXPECT_FALSE(namedWhileWritten);
    // The run folder taken away.
    vcardOutputFolderPath = (dir.path() / "gone").string() + "/";
    EXPECT_EQ(createVcardFile("a card", std::nullopt).result, PlacedCard::FolderGone);
}

TEST(RunFolder, NameCarriesTheCalendarYear) {
    EXPECT_TRUE(std::regex_match(runFolderName(),
                                 std::regex(R"(Olvenmark___\d\d_\d\d_\d\d__\d\d_\d\d_\d\d)")));
}
