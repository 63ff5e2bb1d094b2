// Runs a command several times as a whole process and prints the median wall
// time in seconds and the largest peak resident memory in KiB. Every "@DEST@"
// in the command becomes a fresh empty folder for each run. What the command
// prints is discarded unless MEASURE_KEEP_OUTPUT=1; the folders are removed
// after each run unless MEASURE_KEEP_DEST=1.
//   measure RUNS FOLDER -- COMMAND ARGS...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

int main(int argc, char* argv[]) {
    if (argc < 5 || std::string(argv[3]) != "--") {
        std::fprintf(stderr, "usage: measure RUNS FOLDER -- COMMAND ARGS...\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const std::filesystem::path base = argv[2];
    std::vector<double> seconds;
    long peakKiB = 0;
    for (int run = 0; run < runs; ++run) {
        const auto dest = base / ("run" + std::to_string(run));
        std::filesystem::remove_all(dest);
        std::filesystem::create_directories(dest);
        std::vector<std::string> args;
        for (int i = 4; i < argc; ++i) {
            std::string arg = argv[i];
            if (arg == "@DEST@") {
                arg = dest.string();
            }
            args.push_back(arg);
        }
        std::vector<char*> argvChild;
        for (auto& a : args) {
            argvChild.push_back(a.data());
        }
        argvChild.push_back(nullptr);
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            // MEASURE_KEEP_OUTPUT=1 lets the command's output through.
            const char* keep = std::getenv("MEASURE_KEEP_OUTPUT");
            if ((keep == nullptr || std::string(keep) != "1") &&
                (std::freopen("/dev/null", "w", stdout) == nullptr ||
                 std::freopen("/dev/null", "w", stderr) == nullptr)) {
                _exit(127);
            }
            execvp(argvChild[0], argvChild.data());
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        const auto end = std::chrono::steady_clock::now();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "measure: %s failed (status %d)\n", args[0].c_str(), status);
            return 1;
        }
        seconds.push_back(std::chrono::duration<double>(end - start).count());
        peakKiB = std::max(peakKiB, usage.ru_maxrss);
        const char* keepDest = std::getenv("MEASURE_KEEP_DEST");
        if (keepDest == nullptr || std::string(keepDest) != "1") {
            std::filesystem::remove_all(dest);
        }
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("%.3f %ld\n", seconds[seconds.size() / 2], peakKiB);
    return 0;
}
