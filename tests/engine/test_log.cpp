#include "FaultyFiles.h"
#include "TestSupport.h"
#include "engine/RunState.h"
#include "engine/TimeStamp.h"
#include "engine/log/myLog.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <regex>
#include <thread>
#include <unistd.h>

using namespace testsupport;

namespace {

std::shared_ptr<myLog> makeLog() {
    auto log = std::make_shared<myLog>();
    log->createLogFile();
    loggingObject.store(log);
    return log;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream s(text);
    for (std::string line; std::getline(s, line);) {
        out.push_back(line);
    }
    return out;
}

} // namespace

TEST(TimeStamps, UseTheCalendarYear) {
    setenv("TZ", "UTC", 1);
    tzset();
    // 23:59:59 on 31 December 2024 falls in week 1 of 2025; the year is still 24.
    EXPECT_EQ(timestamp::logPrefix(1735689599), "[31/12/24] [23:59:59] ");
    EXPECT_EQ(timestamp::folderStamp(1735689599), "__31_12_24__23_59_59");
    EXPECT_EQ(timestamp::logPrefix(1772787907), "[06/03/26] [09:05:07] ");
    unsetenv("TZ");
    tzset();
}

TEST(ErrorLog, CreatesFolderAndAppendsEntries) {
    TempHome home;
    auto log = makeLog();
    EXPECT_EQ(logFileName, home.path().string() + "//Olvenmark v1.0//Error.log");
    ASSERT_TRUE(fs::is_regular_file(home.logFile()));
    EXPECT_EQ(readFile(home.logFile()), "");
    // Only the call that made the file says so.
    EXPECT_FALSE(log->createFile(logFileName));
    EXPECT_TRUE(log->createFile(logFileName + "2"));

    EXPECT_TRUE(log->addMessage("Start Application"));
    EXPECT_TRUE(log->addMessage("EXCEPTION\nOccured in x()\nname: a"));
    EXPECT_TRUE(log->addMessage(""));
    const auto got = lines(readFile(home.logFile()));
    ASSERT_EQ(got.size(), 5u);
    const std::regex stamp(R"(\[\d\d/\d\d/\d\d\] \[\d\d:\d\d:\d\d\] )");
    EXPECT_TRUE(std::regex_match(got[0].substr(0, 22), stamp));
    EXPECT_EQ(got[0].substr(22), "Start Application");
    EXPECT_EQ(got[1].substr(22), "EXCEPTION");
    EXPECT_EQ(got[2], "Occured in x()");
    EXPECT_EQ(got[4].size(), 22u);

    // A second start appends; a deleted file is made again at the next entry.
    auto again = makeLog();
    EXPECT_TRUE(again->addMessage("second run"));
    EXPECT_EQ(lines(readFile(home.logFile())).size(), 6u);
    fs::remove(home.logFile());
    EXPECT_TRUE(again->addMessage("after delete"));
    EXPECT_EQ(lines(readFile(home.logFile())).size(), 1u);
}

TEST(ErrorLog, UnwritableLogIsReportedNotFatal) {
    TempHome home;
    writeFile(home.path() / "Olvenmark v1.0", "a plain file in the way");
    std::vector<std::string> alerts;
    myLog::setAlertHook(
        [&](const std::string& title, const std::string& text, const std::string& button) {
            alerts.push_back(title + "|" + text + "|" + button);
        });
    auto log = makeLog();
    myLog::setAlertHook(nullptr);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0], "ERROR|Failed to create file:" + logFileName + "|OK");
    EXPECT_FALSE(log->addMessage("lost"));
    EXPECT_FALSE(writeLog("lost too"));
    EXPECT_EQ(readFile(home.path() / "Olvenmark v1.0"), "a plain file in the way");
}

TEST(ErrorLog, ALogThatCannotBeWrittenSaysWhyOnceAndTheWorkGoesOn) {
    TempHome home;
    auto log = makeLog();
    const std::string said = "Error: the error log " + logFileName +
                             " cannot be written (No space left on device); "
                             "going on without it\n";
    for (const bool closeFails : {false, true}) {
        testing::internal::CaptureStderr();
        {
            FaultyFiles faults(logFileCalls());
            closeFails ? faults.closeFails(ENOSPC) : faults.writesFailAfter(5, ENOSPC);
            for (int i = 0; i < 3; ++i) {
                logOrConsole("lost");
            }
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(), said);
        // Once an entry gets through, the next loss is told again.
        EXPECT_TRUE(log->addMessage("written"));
    }
    // Without a log at all, each loss has its fallback line.
    loggingObject.store(nullptr);
    testing::internal::CaptureStderr();
    logOrConsole("lost");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error while writing to log file\n");
}

TEST(ErrorLog, WithoutHomeTheLogGoesToTheUsersOwnHomeNeverTheCurrentFolder) {
    TempHome home;
    const passwd* user = getpwuid(getuid());
    ASSERT_NE(user, nullptr);
    std::string own = user->pw_dir;
    while (own.size() > 1 && own.back() == '/') {
        own.pop_back();
    }
    setenv("HOME", "", 1);
    EXPECT_EQ(myLog::homeDirectory(), own);
    unsetenv("HOME");
    EXPECT_EQ(myLog::homeDirectory(), own);
}

TEST(ErrorLog, TwoThreadsAppendWholeEntries) {
    TempHome home;
    auto log = makeLog();
    constexpr int kEach = 2000;
    auto writer = [&](char tag) {
        for (int i = 0; i < kEach; ++i) {
            log->addMessage(std::string(1, tag) + std::to_string(i) + std::string(200, tag));
        }
    };
    std::thread a(writer, 'a');
    std::thread b(writer, 'b');
    a.join();
    b.join();
    const auto got = lines(readFile(home.logFile()));
    ASSERT_EQ(got.size(), 2u * kEach);
    int nextA = 0;
    int nextB = 0;
    for (const auto& line : got) {
        const std::string body = line.substr(22);
        const char tag = body[0];
        ASSERT_TRUE(tag == 'a' || tag == 'b') << line;
        int& next = tag == 'a' ? nextA : nextB;
        // Each thread's entries arrive whole and in the order they were written.
        EXPECT_EQ(body, std::string(1, tag) + std::to_string(next) + std::string(200, tag));
        ++next;
    }
}
