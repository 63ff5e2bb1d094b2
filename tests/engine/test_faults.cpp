// Faults met during a run: the disk fills up, the destination is read-only,
// a write is cut short, the log cannot be written. The run stops or goes on as
// it should, and the report counts exactly the whole files that exist.
#include "RunState.h"
#include "TestSupport.h"
#include "newConvertor.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace testsupport;

namespace {

// A small memory file system of its own, where the machine allows mounting.
class SmallDisk {
public:
    explicit SmallDisk(const fs::path& where, const char* options) : where_(where) {
        fs::create_directories(where_);
        mounted_ = geteuid() == 0 && mount("tmpfs", where_.c_str(), "tmpfs", 0, options) == 0;
    }
    ~SmallDisk() {
        if (mounted_) {
            umount2(where_.c_str(), MNT_DETACH);
        }
    }
    bool mounted() const { return mounted_; }
    bool makeReadOnly() {
        return mount(nullptr, where_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    fs::path where_;
    bool mounted_ = false;
};

std::string contacts(int n) {
    std::string text = "First,Last,Street,Mail\r\n";
    for (int i = 0; i < n; ++i) {
        text += "Name" + std::to_string(i) + ",Person,\"" + std::string(300, 'x') + "\",m" +
                std::to_string(i) + "@example.org\r\n";
    }
    return text;
}

std::int64_t reportNumber(const std::string& line) {
    return std::stoll(line.substr(line.rfind(": ") + 2));
}

} // namespace

class Faults : public ::testing::Test {
protected:
    TempHome home;
    TempDir dir;
    RecordingClient client;
    std::shared_ptr<newConvertor> convertor = std::make_shared<newConvertor>();

    std::int64_t load(const std::string& text) {
        writeFile(dir.path() / "c.csv", text);
        const auto n = convertor->startStep1((dir.path() / "c.csv").string(), &client);
        EXPECT_TRUE(convertor->startStep2({{"FirstName", "First"},
                                           {"LastName", "Last"},
                                           {"HomeAddressStreet", "Street"},
                                           {"EmailAddressWork", "Mail"}}));
        return n;
    }

    // A whole run with a new converter under the current HOME; what the console got.
    std::string runWhileLogIsUnwritable(int count) {
        testing::internal::CaptureStderr();
        auto quiet = std::make_shared<newConvertor>();
        writeFile(dir.path() / "c.csv", contacts(count));
        EXPECT_EQ(quiet->startStep1((dir.path() / "c.csv").string(), &client), count);
        EXPECT_TRUE(quiet->startStep2({{"FirstName", "First"}}));
        fs::create_directories(dir.path() / "out");
        quiet->startStep3({}, (dir.path() / "out").string());
        quiet.reset();
        return testing::internal::GetCapturedStderr();
    }

    // Every file in the run folder is a whole vCard, and there are as many as
    // the report says were written.
    void expectReportMatchesWholeFiles(const fs::path& destination) {
        ASSERT_EQ(client.reports.size(), 1u);
        const auto& report = client.reports[0];
        const fs::path folder = onlySubfolder(destination);
        std::int64_t whole = 0;
        if (!folder.empty()) {
            for (const auto& name : listFolder(folder)) {
                const std::string card = readFile(folder / name);
                EXPECT_TRUE(card.starts_with("begin:vcard\n") && card.ends_with("\nend:vcard"))
                    << name << " holds " << card.size() << " bytes";
                ++whole;
            }
        }
        EXPECT_EQ(reportNumber(report[1]), whole);
        EXPECT_EQ(reportNumber(report[0]) - reportNumber(report[1]), reportNumber(report[2]));
    }
};

TEST_F(Faults, DiskFullStopsTheRunAndLeavesOnlyWholeFiles) {
    SmallDisk disk(dir.path() / "small", "size=48k");
    if (!disk.mounted()) {
        GTEST_SKIP() << "mounting a small file system needs root and mount rights here";
    }
    ASSERT_EQ(load(contacts(200)), 200);
    convertor->startStep3({}, (dir.path() / "small").string());
    expectReportMatchesWholeFiles(dir.path() / "small");
    EXPECT_LT(reportNumber(client.reports[0][1]), 200);
    // The run stopped at the contact that did not fit: no progress call for it.
    EXPECT_EQ(static_cast<std::int64_t>(client.increments.size()),
              reportNumber(client.reports[0][1]));
}

TEST_F(Faults, ReadOnlyDestinationWritesNothing) {
    SmallDisk disk(dir.path() / "ro", "size=1m");
    if (!disk.mounted() || !disk.makeReadOnly()) {
        GTEST_SKIP() << "mounting a read-only file system needs root and mount rights here";
    }
    ASSERT_EQ(load(contacts(5)), 5);
    convertor->startStep3({}, (dir.path() / "ro").string());
    EXPECT_TRUE(listFolder(dir.path() / "ro").empty());
    EXPECT_EQ(client.reports.at(0)[1], "Successful\t\t : 0");
    EXPECT_EQ(client.reports.at(0)[2], "Failed\t\t : 5");
}

TEST_F(Faults, WriteCutShortLeavesNoHalfFile) {
    // A file-size limit makes the first large vCard's write fail half-way.
    ASSERT_EQ(load("First,Last,Street,Mail\r\nAnn,Lee,short,a@x\r\nBob,Ray," +
                   std::string(3000, 'y') + ",b@x\r\nCid,Day,short,c@x\r\n"),
              3);
    const auto destination = dir.path() / "out";
    fs::create_directories(destination);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 2048;
    setrlimit(RLIMIT_FSIZE, &small);
    convertor->startStep3({}, destination.string());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    expectReportMatchesWholeFiles(destination);
    EXPECT_EQ(listFolder(onlySubfolder(destination)), std::vector<std::string>{"AnnLee.vcf"});
    EXPECT_EQ(client.reports[0][1], "Successful\t\t : 1");
    EXPECT_NE(readFile(home.logFile()).find("Occured in createVcardFile()"), std::string::npos);
}

TEST_F(Faults, UnwritableLogLeavesTheRunWhole) {
    // A plain file where the log folder should be: nothing can be logged.
    TempHome blocked;
    writeFile(blocked.path() / "Olvenmark v1.0", "in the way");
    const std::string console = runWhileLogIsUnwritable(3);
    EXPECT_NE(console.find("ERROR: Failed to create file:"), std::string::npos);
    EXPECT_NE(console.find("(init) Error while writing to log file"), std::string::npos);
    EXPECT_NE(console.find("\nError while writing to log file\n"), std::string::npos);
    EXPECT_NE(console.find("(dealloc) Error while writing to log file"), std::string::npos);
    EXPECT_EQ(client.reports.at(0)[1], "Successful\t\t : 3");
    EXPECT_EQ(readFile(blocked.path() / "Olvenmark v1.0"), "in the way");
}

TEST_F(Faults, ReadOnlyHomeLeavesTheRunWhole) {
    SmallDisk disk(dir.path() / "home", "size=1m");
    if (!disk.mounted() || !disk.makeReadOnly()) {
        GTEST_SKIP() << "mounting a read-only home needs root and mount rights here";
    }
    setenv("HOME", (dir.path() / "home").c_str(), 1);
    const std::string console = runWhileLogIsUnwritable(2);
    EXPECT_NE(console.find("Error: Create folder failed"), std::string::npos);
    EXPECT_EQ(client.reports.at(0)[1], "Successful\t\t : 2");
}

TEST_F(Faults, ChangedCsvAfterLoadingIsNotReadAgain) {
    ASSERT_EQ(load(contacts(3)), 3);
    writeFile(dir.path() / "c.csv", "First,Last\r\nOnly,One\r\n");
    fs::create_directories(dir.path() / "out");
    convertor->startStep3({}, (dir.path() / "out").string());
    EXPECT_EQ(client.reports.at(0)[0], "Total Contacts\t : 3");
    EXPECT_EQ(listFolder(onlySubfolder(dir.path() / "out")).size(), 3u);
}
