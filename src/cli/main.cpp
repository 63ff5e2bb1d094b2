// olvenmark-cli: the desktop application's conversion for scripts and batches.
#include "cli/CommandLine.h"
#include "cli/TerminalProgress.h"

#include "engine/ExportSession.h"
#include "engine/Text.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
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

    ExportSession session;
    session.setLoadOptions(line.loadOptions);
    if (session.load(line.csvPath) != ExportSession::LoadStatus::Loaded) {
        std::string message = ExportSession::invalidFileMessage(line.csvPath);
        if (const std::string reason = session.refusalSentence(); !reason.empty()) {
            message += " " + reason;
        }
        std::fprintf(stderr, "%s\n", message.c_str());
        return 2;
    }
    if (const auto wide = session.diagnostics().wideRows; wide > 0) {
        std::fprintf(stderr,
                     "olvenmark-cli: %zu rows hold more fields than the header row "
                     "(a wrong --delimiter?)\n",
                     wide);
    }
    if (const std::string error = applyPairs(line, session); !error.empty()) {
        return fail(error);
    }
    session.setExportOptions(
        {.format = line.format, .singleFile = line.singleFile, .keepUnpaired = line.keepUnpaired});
    if (!session.check()) {
        return fail("the pairs could not be used; see the error log");
    }

    std::signal(SIGINT, onInterrupt);
    TerminalProgress progress(stderr, isatty(fileno(stderr)) != 0);
    session.start(line.destination);
    // Ctrl-C cancels like the window's Cancel button: the contact in hand is finished.
    while (!session.waitFor(std::chrono::milliseconds(100))) {
        if (interrupted) {
            session.cancel();
        }
        progress.show(session.progress(), session.contacts());
    }
    session.wait();
    progress.finish(session.progress(), session.contacts());

    const auto report = session.report();
    if (!report) {
        return 1; // the run could not start; the error log says why
    }
    for (const auto& reportLine : report->lines()) {
        std::printf("%s\n", reportLine.c_str());
    }
    std::fflush(stdout);
    if (const std::string unpaired = unpairedLine(line, session); !unpaired.empty()) {
        std::fprintf(stderr, "%s\n", unpaired.c_str());
    }
    if (report->cancelled) {
        return 130;
    }
    return report->failed() == 0 ? 0 : 1;
}
