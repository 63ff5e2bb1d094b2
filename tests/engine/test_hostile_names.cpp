// Names that try to leave the run folder or clash with each other: every file
// lands inside the run folder, nothing outside changes, nothing is overwritten.
#include "RunState.h"
#include "TestSupport.h"
#include "newConvertor.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace testsupport;

namespace {

// Every file under a folder with its contents.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        files[entry.path().string()] = entry.is_regular_file() ? readFile(entry.path()) : "<dir>";
    }
    return files;
}

} // namespace

TEST(HostileNames, StayInsideTheRunFolderAndNeverOverwrite) {
    TempHome home;
    TempDir dir;
    const std::string thirty(30, 'n');
    const std::vector<std::pair<std::string, std::string>> names = {
        {"../../x", ""},
        {"/", ""},
        {".", ""},
        {"..", ""},
        {"-rf", ""},
        {"Ann", "Lee"},
        {"ann", "lee"},
        {"ANN", "LEE"},
        {"AnnLee(1)", ""},
        {"Ann", "Lee"},
        {"no_name1", ""},
        {"", ""},
        {thirty, ""},
        {thirty + "a", ""},
        {thirty + "b", ""},
        {"/etc/", "passwd"},
        {"..", "/.."},
        {"a\nb", ""},
        {std::string("c\0d", 3), ""},
    };
    std::string csv = "First,Last,Id\r\n";
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto quote = [](const std::string& s) { return "\"" + s + "\""; };
        csv += quote(names[i].first) + "," + quote(names[i].second) + ",id" + std::to_string(i) +
               "\r\n";
    }
    // Neighbours of the destination that must not change.
    const fs::path destination = dir.path() / "dest" / "inner";
    fs::create_directories(destination);
    writeFile(dir.path() / "dest" / "x.vcf", "outside");
    writeFile(dir.path() / "x.vcf", "outside too");
    writeFile(dir.path() / "c.csv", csv);
    const auto before = snapshot(dir.path());

    RecordingClient client;
    auto convertor = std::make_shared<newConvertor>();
    ASSERT_EQ(convertor->startStep1((dir.path() / "c.csv").string(), &client),
              static_cast<std::int64_t>(names.size()));
    ASSERT_TRUE(convertor->startStep2(
        {{"FirstName", "First"}, {"LastName", "Last"}, {"EmailAddressOther", "Id"}}));
    convertor->startStep3({}, destination.string());
    ASSERT_EQ(client.reports.at(0)[1], "Successful\t\t : " + std::to_string(names.size()));

    // Nothing outside the run folder changed.
    const fs::path runFolder = onlySubfolder(destination);
    auto after = snapshot(dir.path());
    std::erase_if(after, [&](const auto& file) {
        return file.first.starts_with(destination.string() + "/");
    });
    EXPECT_EQ(after, before);

    // One file per contact, each holding its own contact, none shared.
    std::set<std::string> ids;
    for (const auto& name : listFolder(runFolder)) {
        const fs::path file = runFolder / name;
        ASSERT_TRUE(fs::is_regular_file(file)) << name;
        EXPECT_EQ(fs::canonical(file).parent_path(), fs::canonical(runFolder));
        const std::string card = readFile(file);
        const auto at = card.find("type=OTHER:");
        ASSERT_NE(at, std::string::npos) << name;
        ids.insert(card.substr(at + 11, card.find('\n', at) - at - 11));
    }
    EXPECT_EQ(ids.size(), names.size());
    const auto files = listFolder(runFolder);
    for (const char* expectedName :
         {"....x.vcf", ".vcf", "..vcf", "...vcf", "-rf.vcf", "AnnLee.vcf", "annlee.vcf",
          "ANNLEE.vcf", "AnnLee(1).vcf", "AnnLee(2).vcf", "no_name1.vcf", "no_name2.vcf",
          "etcpasswd.vcf", "ab.vcf", "cd.vcf"}) {
        EXPECT_TRUE(std::find(files.begin(), files.end(), expectedName) != files.end())
            << expectedName;
    }
    // Names of 30 characters and more share their first 30 and are numbered.
    EXPECT_TRUE(std::find(files.begin(), files.end(), thirty + ".vcf") != files.end());
    EXPECT_TRUE(std::find(files.begin(), files.end(), thirty + "~.vcf") != files.end());
    EXPECT_TRUE(std::find(files.begin(), files.end(), thirty + "~(1).vcf") != files.end());
}
