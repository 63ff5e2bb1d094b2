// olvenmark-cli: the desktop application's conversion for scripts and batches.
#include "CommandLine.h"
#include "TerminalProgress.h"

#include "RunState.h"
#include "Text.h"
#include "newConvertor.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace {

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) {
    interrupted = true;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "olvenmark-cli: %s\n", message.c_str());
    return 2;
}

// The number after " : " in a report line.
long long reportNumber(const std::string& line) {
    const auto colon = line.rfind(": ");
    return colon == std::string::npos ? -1 : std::atoll(line.c_str() + colon + 2);
}

} // namespace

int main(int argc, char* argv[]) {
    const ParseResult parsed = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.line) {
        return fail(parsed.error + "\nTry 'olvenmark-cli --help'.");
    }
    const CommandLine& line = *parsed.line;
    if (line.help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    if (line.version) {
        std::printf("olvenmark-cli %s\n", OLVENMARK_VERSION);
        return 0;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(line.destination, ec)) {
        return fail(text::fill("destination '%@' is not an existing folder", line.destination));
    }

    TerminalProgress progress(stderr, isatty(fileno(stderr)) != 0);
    auto convertor = std::make_shared<newConvertor>();
    const std::int64_t contacts = convertor->startStep1(line.csvPath, &progress);
    if (contacts == 0) {
        std::fprintf(stderr, "Invalid CSV file %s.\n",
                     text::lastPathComponent(line.csvPath).c_str());
        return 2;
    }
    progress.setTotal(contacts);
    const PairingResult pairing = buildPairing(line, progress.headers());
    if (!pairing.error.empty()) {
        return fail(pairing.error);
    }
    userMappingDictionary = pairing.pairing;
    convertor->setExportOptions({.strict = line.strict, .singleFile = line.singleFile});
    if (!convertor->startStep2(userMappingDictionary)) {
        return fail("the pairs could not be used; see the error log");
    }

    std::signal(SIGINT, onInterrupt);
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    std::jthread run([&](std::stop_token cancel) {
        convertor->startStep3(cancel, line.destination);
        const std::lock_guard lock(mutex);
        finished = true;
        ended.notify_one();
    });
    // Ctrl-C cancels like the window's Cancel button: the contact in hand is finished.
    {
        std::unique_lock lock(mutex);
        while (!ended.wait_for(lock, std::chrono::milliseconds(20), [&] { return finished; })) {
            if (interrupted) {
                run.request_stop();
            }
        }
    }
    run.join();

    const auto& report = progress.report();
    for (const auto& reportLine : report) {
        std::printf("%s\n", reportLine.c_str());
    }
    std::fflush(stdout);
    if (report.size() != 4) {
        return 1; // the run could not start; the error log says why
    }
    if (report[0].starts_with("Migration canceled.")) {
        return 130;
    }
    return reportNumber(report[2]) == 0 ? 0 : 1;
}
