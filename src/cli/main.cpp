// olvenmark-cli: the desktop application's conversion for scripts and batches.
#include "cli/CommandLine.h"
#include "cli/Password.h"
#include "cli/TerminalProgress.h"

#include "carddav/AddressBookDestination.h"
#include "carddav/Discovery.h"
#include "carddav/ServerUrl.h"
#include "carddav/UploadReport.h"

#include "engine/ExportSession.h"
#include "engine/Text.h"

#include "phone/InternationalNumbers.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

// The signal that asked the run to stop (Ctrl-C, a kill, a closed terminal); 0 before any.
std::atomic<int> interruptedBy{0};

extern "C" void onInterrupt(int signal) {
    interruptedBy = signal;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "olvenmark-cli: %s\n", message.c_str());
    return 2;
}

// The address book of an upload, found on the server; or the exit status 2
// after one line that says why the server cannot be used.
struct Upload {
    std::shared_ptr<Destination> destination;
    int failure = 0;
};

Upload findAddressBook(const CommandLine& line, const carddav::CheckedUrl& url) {
    const auto password = readPassword(line.user);
    if (!password) {
        return {nullptr, fail("no password: set OLVENMARK_CARDDAV_PASSWORD or run on a terminal")};
    }
    carddav::ServerAccess access{line.user, *password, line.caFile, url.plainHttp};
    access.connections = line.connections;
    carddav::HttpClient client(access);
    const carddav::Discovery found = carddav::findAddressBooks(client, url.url);
    if (!found.failure.empty()) {
        return {nullptr, fail(found.failure)};
    }
    const carddav::Choice choice =
        carddav::chooseAddressBook(found.books, line.addressBook, client.shown());
    if (!choice.book) {
        return {nullptr, fail(choice.failure)};
    }
    const carddav::UploadChoices choices{line.csvPath, line.replacePrevious,
                                         line.replacePrevious || !line.idColumn.empty()};
    return {std::make_shared<carddav::AddressBookDestination>(access, choice.book->url, choices),
            0};
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
    const bool upload = !line.carddavUrl.empty();
    const carddav::UrlCheck url = carddav::checkServerUrl(line.carddavUrl);
    std::error_code ec;
    if (upload && !url.checked) {
        return fail(url.refusal);
    }
    if (!upload && !std::filesystem::is_directory(line.destination, ec)) {
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
    if (const auto rows = session.diagnostics().shortRows; rows > 0) {
        std::fprintf(stderr, "olvenmark-cli: %zu %s fewer fields than the header row\n", rows,
                     rows == 1 ? "row holds" : "rows hold");
    }
    for (const std::string& note :
         {session.diagnostics().unclosedQuoteNote, session.diagnostics().strayBytesNote}) {
        if (!note.empty()) {
            std::fprintf(stderr, "olvenmark-cli: %s\n", note.c_str());
        }
    }
    if (const std::string error = applyPairs(line, session); !error.empty()) {
        return fail(error);
    }
    ExportOptions options;
    options.format = line.format;
    options.singleFile = line.singleFile;
    options.keepUnpaired = line.keepUnpaired;
    if (!line.phoneRegion.empty()) {
        options.phoneForm = std::make_shared<phone::InternationalNumbers>(line.phoneRegion);
    }
    options.merge = line.merge;
    if (!line.idColumn.empty()) {
        const auto& headers = session.headers();
        const auto found = std::find(headers.begin(), headers.end(), line.idColumn);
        if (found == headers.end()) {
            return fail(text::fill("no column named '%@' in the header row", line.idColumn));
        }
        options.idColumn = static_cast<std::size_t>(found - headers.begin());
    }
    session.setExportOptions(options);
    if (!session.check()) {
        return fail("the pairs could not be used; see the error log");
    }
    if (const std::string error = savePairs(line, session); !error.empty()) {
        return fail(error);
    }

    Upload target;
    if (upload && (target = findAddressBook(line, *url.checked)).failure != 0) {
        return target.failure;
    }

    // Each stops the run as Ctrl-C does, after the contact in hand, with a report.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        std::signal(signal, onInterrupt);
    }
    TerminalProgress progress(stderr, isatty(fileno(stderr)) != 0);
    if (upload) {
        session.start(target.destination);
    } else {
        session.start(line.destination);
    }
    // Ctrl-C cancels like the window's Cancel button: the contact in hand is finished.
    while (!session.waitFor(std::chrono::milliseconds(100))) {
        if (interruptedBy != 0) {
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
    if (report->stopped()) {
        // Why, first: the counts below follow from it.
        std::printf("%s stopped at contact %lld: %s\n", upload ? "Upload" : "Export",
                    static_cast<long long>(report->stoppedAt), report->stopReason.c_str());
    }
    for (const auto& reportLine : upload ? carddav::uploadReportLines(*report) : report->lines()) {
        std::printf("%s\n", reportLine.c_str());
    }
    std::fflush(stdout);
    if (const std::string unpaired = unpairedLine(line, session); !unpaired.empty()) {
        std::fprintf(stderr, "%s\n", unpaired.c_str());
    }
    if (report->cancelled) {
        return 128 + (interruptedBy != 0 ? interruptedBy.load() : SIGINT);
    }
    return report->failed() == 0 ? 0 : 1;
}
