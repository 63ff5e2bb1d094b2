// olvenmark-cli driven as a separate process, as scripts use it: its exit
// status and what it printed, in a temporary HOME and folder.
#pragma once

#include "TestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace testsupport {

struct Outcome {
    int exit = -1;
    std::string out;
    std::string err;
};

class Cli : public ::testing::Test {
protected:
    TempHome home;
    TempDir dir;

    fs::path destination() {
        const auto path = dir.path() / "out";
        fs::create_directories(path);
        return path;
    }

    std::string csv(const std::string& name, const std::string& text) {
        writeFile(dir.path() / name, text);
        return (dir.path() / name).string();
    }

    // Starts olvenmark-cli with its output going to files; answers its pid.
    pid_t start(const std::vector<std::string>& args) {
        std::vector<std::string> all = {OLVENMARK_CLI};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath().c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath().c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    Outcome finish(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                readFile(outPath()), readFile(errPath())};
    }

    Outcome run(const std::vector<std::string>& args) { return finish(start(args)); }

    std::string outPath() const { return (dir.path() / "stdout.txt").string(); }
    std::string errPath() const { return (dir.path() / "stderr.txt").string(); }
};

} // namespace testsupport
