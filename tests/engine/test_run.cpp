// The conversion run: one file per contact, progress, cancelling, the report,
// and the faults a run meets (a full disk, a read-only destination, a log that
// cannot be written).
#include "FaultyFiles.h"
#include "TestSupport.h"
#include "engine/RunState.h"
#include "engine/cards/ContactUid.h"

#include <cerrno>
#include <functional>
#include <sys/resource.h>

using namespace testsupport;

namespace {

const std::map<std::string, std::string> kPairs = {
    {"FirstName", "First"}, {"LastName", "Last"}, {"MobileNumber", "Phone"}};

const std::string kThreeContacts = "First,Last,Phone\r\n"
                                   "Ann,Lee,555\r\n"
                                   "Bob,Ray,4.47911E+11\r\n"
                                   "Cid,Day,\r\n";

std::string contacts(int n, std::size_t width = 10) {
    std::string text = "First,Last,Phone\r\n";
    for (int i = 0; i < n; ++i) {
        text += "N" + std::to_string(i) + ",P," + std::string(width, '5') + "\r\n";
    }
    return text;
}

std::size_t count(const std::string& haystack, const std::string& needle) {
    std::size_t n = 0;
    for (auto at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + 1)) {
        ++n;
    }
    return n;
}

} // namespace

class Run : public EngineTest {
protected:
    // Every file in the run folder is a whole vCard, and there are as many as
    // the report says were written.
    void expectReportMatchesWholeFiles(const fs::path& folder) {
        std::int64_t whole = 0;
        for (const auto& name : listFolder(folder)) {
            const std::string card = readFile(folder / name);
            EXPECT_TRUE(card.starts_with("begin:vcard\n") && card.ends_with("\nend:vcard")) << name;
            ++whole;
        }
        EXPECT_EQ(report().written, whole);
    }
};

TEST_F(Run, WritesOneFilePerContactAndReports) {
    ASSERT_EQ(load(kThreeContacts, kPairs), 3);
    run();
    EXPECT_EQ(listFolder(runFolder()),
              (std::vector<std::string>{"AnnLee.vcf", "BobRay.vcf", "CidDay.vcf"}));
    EXPECT_EQ(readFile(runFolder() / "BobRay.vcf"),
              "begin:vcard\nversion:3.0\nFN:Bob Ray\nN:Ray;Bob;;\nTEL;type=CELL:447911000000\n"
              "end:vcard");
    EXPECT_EQ(client.increments, std::vector<float>(3, 33.333332f));
    EXPECT_FALSE(report().cancelled);
    EXPECT_EQ(report().total, 3);
    EXPECT_EQ(report().written, 3);
    EXPECT_EQ(report().folder, runFolder().string() + "/");
    EXPECT_EQ(report().lines(), (std::vector<std::string>{
                                    "Total Contacts\t : 3", "Successful\t\t : 3", "Failed\t\t : 0",
                                    "\nvCards can be found at path :\n" + report().folder}));
    // Every step is bracketed in the log, in order, once.
    convertor.reset();
    const std::string text = log();
    std::size_t at = 0;
    for (const char* entry :
         {"] Start Application\n", "] Info: Start: STEP 1\n", "] INFO: End: STEP 1\n",
          "] Info: Start: STEP 2\n", "] INFO: End: STEP 2\n", "] Info: Start: STEP 3\n",
          "] INFO: End: STEP 3\n", "] End Application\n"}) {
        const auto found = text.find(entry, at);
        EXPECT_NE(found, std::string::npos) << entry;
        at = found;
        EXPECT_EQ(count(text, entry), 1u) << entry;
    }
}

TEST_F(Run, UnmappableRowFailsWithItsNumberAndWhyAndTheRunGoesOn) {
    ASSERT_EQ(load("First,Last,Phone\rAnn,Lee,1\rShort\rCid,\"Day,3\rEd,Fox,4\r", kPairs), 4);
    EXPECT_EQ(convertor->loadDiagnostics().unclosedQuoteNote, "row 4 has an unclosed quote.");
    run();
    EXPECT_EQ(client.increments.size(), 4u);
    EXPECT_EQ(report().written, 2);
    EXPECT_EQ(report().failed(), 2);
    EXPECT_EQ(listFolder(runFolder()).size(), 2u);
    EXPECT_NE(log().find("] Error: Row [3] not written: it holds fewer fields than its pairs "
                         "need\n"),
              std::string::npos);
    EXPECT_NE(log().find("] Error: Row [4] not written: it has an unclosed quote, which takes the "
                         "rest of its line into one field\n"),
              std::string::npos);
    EXPECT_EQ(log().find("EXCEPTION"), std::string::npos);
}

TEST_F(Run, NameWithoutAFileIsLoggedWithItsRowNumber) {
    // A destination so deep that only short file names still fit in a path.
    fs::path deep = dir.path();
    while (deep.string().size() < 4043 - 201) {
        deep /= std::string(200, 'd');
    }
    deep /= std::string(4043 - deep.string().size() - 1, 'e');
    fs::create_directories(deep);

    ASSERT_EQ(load("First,Last,Phone\rA,,1\rBartholomew-Alexander,Featherstone,2\rC,,3\r", kPairs),
              3);
    convertor->startStep3({}, deep.string());
    EXPECT_EQ(client.increments.size(), 3u);
    EXPECT_EQ(report().written, 2);
    EXPECT_NE(
        log().find("Failed to create vCard for contact in CSV, Row number: [3]:\nInvalid First "
                   "Name or Middle Name or Last Name.\nTry using a name with fewer "
                   "characters, or with no punctuation marks.\n"),
        std::string::npos);
}

TEST_F(Run, CancelBeforeAnyRowCountsExactly) {
    for (std::size_t at = 0; at <= 4; ++at) {
        convertor = std::make_shared<newConvertor>();
        client = RecordingClient{};
        ASSERT_EQ(load("First,Last,Phone\rA,a,1\rB,b,2\rC,c,3\rD,d,4\r", kPairs), 4);
        std::stop_source stop;
        if (at == 0) {
            stop.request_stop();
        }
        client.onNotify = [&](std::size_t calls) {
            if (calls == at) {
                stop.request_stop();
            }
        };
        const auto before = log().size();
        run(stop.get_token());
        const bool cancelled = at < 4;
        EXPECT_EQ(client.increments.size(), at);
        EXPECT_EQ(report().cancelled, cancelled);
        EXPECT_EQ(report().written, static_cast<std::int64_t>(at));
        EXPECT_EQ(report().failed(), static_cast<std::int64_t>(4 - at));
        const std::string entries = log().substr(before);
        EXPECT_EQ(entries.find("] Info: Migration cancelled\n") != std::string::npos, cancelled);
        EXPECT_EQ(entries.find("] Migration canceled.\nTotal Contacts\t : 4\n") !=
                      std::string::npos,
                  cancelled);
        // A cancelled run ends its thread at once: no end-of-step entry.
        EXPECT_EQ(entries.find("INFO: End: STEP 3") == std::string::npos, cancelled);
    }
}

// Cards are written ahead into files without a name, each holding a
// descriptor until its turn: a cancel must leave none of them behind, and a
// low limit on open files must leave the log its own.
TEST_F(Run, CardsWrittenAheadLeaveNoFileOrDescriptorAndTheLogItsOwn) {
    const auto openDescriptors = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{});
    };
    ASSERT_EQ(load(contacts(2000), kPairs), 2000);
    const auto before = openDescriptors();
    std::stop_source stop;
    client.onNotify = [&](std::size_t calls) {
        if (calls == 100) {
            stop.request_stop();
        }
    };
    run(stop.get_token());
    EXPECT_TRUE(report().cancelled);
    EXPECT_EQ(openDescriptors(), before);
    expectReportMatchesWholeFiles(runFolder());

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = static_cast<rlim_t>(before) + 40;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    client = RecordingClient{};
    fs::remove_all(destination());
    run();
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(report().written, 2000);
    EXPECT_EQ(log().find("cannot be written"), std::string::npos);

    // A file system without unnamed files: every card under a hidden name first.
    client = RecordingClient{};
    fs::remove_all(destination());
    {
        FaultyFiles faults;
        faults.noUnnamedFiles();
        run();
    }
    EXPECT_EQ(report().written, 2000);
    expectReportMatchesWholeFiles(runFolder());
}

TEST_F(Run, RowsNotReachedLeaveNoTraceInTheLog) {
    std::string text = "First,Last,Phone\rA,a,1\r";
    for (int i = 0; i < 200; ++i) {
        text += "short\r"; // every one of these rows is too short to map
    }
    ASSERT_EQ(load(text, kPairs), 201);
    std::stop_source stop;
    client.onNotify = [&](std::size_t calls) {
        if (calls == 3) {
            stop.request_stop();
        }
    };
    run(stop.get_token());
    // Contacts 2 and 3 were reached and failed; the 198 after them were not.
    EXPECT_EQ(count(log(), "not written: it holds fewer fields"), 2u);
    EXPECT_EQ(report().written, 1);
    EXPECT_EQ(report().failed(), 200);
    EXPECT_LT(log().rfind("not written: it holds fewer fields"),
              log().find("Info: Migration cancelled"));
}

TEST_F(Run, RunFolderMovedAwayStopsTheRunAndKeepsItsCount) {
    ASSERT_EQ(load("First,Last,Phone\rA,a,1\rB,b,2\rC,c,3\rD,d,4\r", kPairs), 4);
    const fs::path moved = dir.path() / "moved";
    std::string folder;
    client.onNotify = [&](std::size_t calls) {
        if (calls == 2) {
            folder = vcardOutputFolderPath;
            fs::rename(vcardOutputFolderPath, moved);
        }
    };
    run();
    EXPECT_EQ(client.increments.size(), 2u);
    EXPECT_EQ(report().written, 2);
    EXPECT_EQ(report().failed(), 2);
    EXPECT_EQ(report().stoppedAt, 3);
    EXPECT_EQ(report().stopReason, "the run folder " + folder + " is not there any more");
    EXPECT_EQ(listFolder(moved).size(), 2u);
}

TEST_F(Run, AFileFaultStopsTheRunOnceWithTheSystemsReason) {
    struct Case {
        std::function<void(FaultyFiles&)> fault;
        std::string reason;
        bool someWritten;
    };
    const std::vector<Case> cases = {
        {[](FaultyFiles& f) { f.writesFailAfter(700, ENOSPC); }, "No space left on device", true},
        // No inode left: not one contact after another fails on its name.
        {[](FaultyFiles& f) { f.createFails(ENOSPC); }, "No space left on device", false},
        {[](FaultyFiles& f) { f.createFails(EROFS); }, "Read-only file system", false},
        {[](FaultyFiles& f) { f.createFails(EACCES); }, "Permission denied", false},
    };
    ASSERT_EQ(load(contacts(20, 60), kPairs), 20);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        client.reports.clear();
        client.increments.clear();
        const fs::path out = dir.path() / std::to_string(i);
        fs::create_directories(out);
        {
            FaultyFiles faults;
            cases[i].fault(faults);
            convertor->startStep3({}, out.string());
        }
        EXPECT_EQ(report().stopReason, cases[i].reason) << i;
        EXPECT_EQ(report().written > 0, cases[i].someWritten) << i;
        EXPECT_EQ(report().stoppedAt, report().written + 1) << i;
        // The run stopped at the contact that did not fit: no progress call for it.
        EXPECT_EQ(static_cast<std::int64_t>(client.increments.size()), report().written);
        expectReportMatchesWholeFiles(onlySubfolder(out));
    }
    EXPECT_EQ(count(log(), "Invalid First Name"), 0u);
    EXPECT_EQ(count(log(), "] Error: Run stopped at row ["), cases.size());
}

TEST_F(Run, RunFolderThatCannotBeMadeWritesNothingAndNamesNoFolder) {
    ASSERT_EQ(load(kThreeContacts, kPairs), 3);
    writeFile(dir.path() / "plain", "a file, not a folder");
    testing::internal::CaptureStderr();
    convertor->startStep3({}, (dir.path() / "plain").string());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Error: Create folder failed " +
                                                          (dir.path() / "plain").string()),
              std::string::npos);
    EXPECT_TRUE(client.increments.empty()); // stopped at the first contact
    EXPECT_EQ(report().written, 0);
    EXPECT_EQ(report().failed(), 3);
    EXPECT_EQ(report().folder, "");
    EXPECT_EQ(report().lines().size(), 3u);
    EXPECT_EQ(report().stopReason.rfind(
                  "no run folder could be made in " + (dir.path() / "plain").string() + ": ", 0),
              0u)
        << report().stopReason;
}

TEST_F(Run, UsesTheTextStep1ReadEvenIfTheFileChanges) {
    ASSERT_EQ(load(kThreeContacts, kPairs), 3);
    writeFile(dir.path() / "contacts.csv", "First,Last\r\nOnly,One\r\n");
    run();
    EXPECT_EQ(report().total, 3);
    EXPECT_EQ(listFolder(runFolder()).size(), 3u);
}

TEST_F(Run, UnwritableLogLeavesTheRunWhole) {
    // A plain file where the log folder should be: nothing can be logged.
    TempHome blocked;
    writeFile(blocked.path() / "Olvenmark v1.0", "in the way");
    testing::internal::CaptureStderr();
    convertor = std::make_shared<newConvertor>();
    ASSERT_EQ(load(kThreeContacts, kPairs), 3);
    run();
    convertor.reset();
    // Once at its making the log could not be created, once it says why: no line per entry.
    const std::string console = testing::internal::GetCapturedStderr();
    EXPECT_EQ(console, "ERROR: Failed to create file:" + logFileName + "\nError: the error log " +
                           logFileName +
                           " cannot be written (Not a directory); going on without "
                           "it\n");
    EXPECT_EQ(report().written, 3);
    EXPECT_EQ(readFile(blocked.path() / "Olvenmark v1.0"), "in the way");
}

// Cards are made by several helpers in batches, yet identical rows are counted
// in file order: the k-th "Ann,Lee" card carries the UID of its row and k, or
// with an identity column, of its value and k.
TEST_F(Run, IdenticalRowsKeepTheirUidsInFileOrder) {
    std::string text = "First,Last,Phone\r\n";
    constexpr int kEach = 3000;
    for (int i = 0; i < kEach; ++i) {
        text += "Ann,Lee,1\r\nBob,Ray,2\r\n";
    }
    ASSERT_EQ(load(text, kPairs), 2 * kEach);
    for (const std::optional<std::size_t> idColumn : {std::optional<std::size_t>(), {2}}) {
        fs::remove_all(destination());
        fs::create_directories(destination());
        convertor->startStep3(
            {}, destination().string(),
            {.format = CardFormat::Strict, .singleFile = true, .idColumn = idColumn});
        const std::string cards = readFile(runFolder() / "contacts.vcf");
        std::size_t at = 0;
        for (int k = 0; k < kEach; ++k) {
            for (const char* row : {"Ann,Lee,1", "Bob,Ray,2"}) {
                const std::string made = idColumn ? std::string(1, row[8]) : row;
                const std::string line = "\r\nUID:" + uid::rowUuid(made, k) + "\r\n";
                at = cards.find(line, at);
                ASSERT_NE(at, std::string::npos) << row << " #" << k;
            }
        }
    }
}
