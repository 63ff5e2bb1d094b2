#include "FaultyFiles.h"
#include "TestSupport.h"
#include "engine/RunState.h"
#include "engine/files/Output.h"
#include "engine/newConvertor.h"

#include <gtest/gtest.h>

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

    // Names one contact the way the run does and returns the file name alone.
    std::string next(const std::string& first, const std::string& last) {
        g_count = 1;
        const auto path = generateVCardFileName(named(first, last));
        if (!path) {
            return "<none>";
        }
        if (*path == kStopRun) {
            return *path;
        }
        EXPECT_EQ(path->rfind(dir.str() + "//", 0), 0u) << *path;
        return fs::path(*path).filename().string();
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
    g_count = 1;
    EXPECT_EQ(fs::path(*generateVCardFileName(named("John", "Smith"))).filename(), "JohnSmith.vcf");
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

TEST_F(Naming, HostileNamesStayInsideTheRunFolderAndNeverClash) {
    const std::string n30(30, 'n');
    struct Case {
        std::string first, last, file;
    };
    const std::vector<Case> cases = {
        {"../../x", "", "....x.vcf"},
        {"/", "", ".vcf"},
        {"/", "", "(1).vcf"},
        {"..", "", "...vcf"},
        {"-rf", "", "-rf.vcf"},
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

TEST_F(Naming, MissingRunFolderStopsTheRun) {
    vcardOutputFolderPath = (dir.path() / "gone").string() + "/";
    EXPECT_EQ(next("Ann", "Lee"), "-1");
    EXPECT_EQ(next("", ""), "-1");
    EXPECT_EQ(createFile((dir.path() / "gone" / "x.vcf").string()), FolderMissing);
}

TEST_F(Naming, CreateFileCodes) {
    const auto path = (dir.path() / "a.vcf").string();
    EXPECT_EQ(createFile(path), Created);
    EXPECT_EQ(createFile(path), AlreadyExists);
    FaultyFiles faults;
    for (const int error : {EACCES, ENOSPC}) {
        faults.createFails(error);
        EXPECT_EQ(createFile((dir.path() / "b.vcf").string()), CreateFailed) << error;
        EXPECT_EQ(createFile(path), AlreadyExists) << error;
    }
}

TEST_F(Naming, VcardFileHoldsExactlyTheText) {
    g_count = 1;
    const auto path = generateVCardFileName(named("Zoë", "Ä"));
    ASSERT_TRUE(path.has_value());
    const std::string text = "begin:vcard\nversion:3.0\nFN:Zoë Ä\nN:Ä;Zoë;;\nend:vcard";
    ASSERT_TRUE(createVcardFile(text, *path));
    EXPECT_EQ(readFile(*path), text);
    // Without a text the reserved file stays empty and the write reports failure.
    const auto empty = generateVCardFileName(named("No", "Text"));
    EXPECT_FALSE(createVcardFile(std::nullopt, *empty));
    EXPECT_EQ(readFile(*empty), "");
    // A write cut short or a failed close would leave a cut-off card: the file goes.
    for (const bool closeFails : {false, true}) {
        FaultyFiles faults;
        closeFails ? faults.closeFails() : faults.writesFailAfter(10, EFBIG);
        const auto cut = generateVCardFileName(named("Cut", closeFails ? "Close" : "Write"));
        EXPECT_FALSE(createVcardFile(text, cut.value()));
        EXPECT_FALSE(fs::exists(*cut)) << *cut;
    }
}

TEST(RunFolder, NameCarriesTheCalendarYear) {
    EXPECT_TRUE(std::regex_match(runFolderName(),
                                 std::regex(R"(Olvenmark___\d\d_\d\d_\d\d__\d\d_\d\d_\d\d)")));
}
