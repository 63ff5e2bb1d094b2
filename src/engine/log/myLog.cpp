#include "engine/log/myLog.h"

#include "engine/RunState.h"
#include "engine/Text.h"
#include "engine/TimeStamp.h"
#include "engine/files/FileCalls.h"
#include "engine/log/Console.h"
#include "engine/log/LogTexts.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Guards logFileName and keeps each entry whole when two threads append at once.
std::mutex& logMutex() {
    static std::mutex mutex;
    return mutex;
}

std::mutex hookMutex;
myLog::AlertHook alertHook;

// Whether the console was told that the log cannot be written. Each entry
// lost after that goes without a word, until one is written again.
std::atomic<bool> unwritableSaid{false};

// Tells the console once why entries cannot be written; answers false.
bool lost(const std::string& path, int error) {
    if (!unwritableSaid.exchange(true)) {
        console::log(path.empty()
                         ? std::string(logtext::kLogWithoutHome)
                         : text::fill(logtext::kLogUnwritable, path, text::systemReason(error)));
    }
    return false;
}

void showAlert(std::string_view title, const std::string& text, std::string_view button) {
    myLog::AlertHook hook;
    {
        const std::lock_guard lock(hookMutex);
        hook = alertHook;
    }
    if (hook) {
        hook(std::string(title), text, std::string(button));
    } else {
        console::log(std::string(title) + ": " + text);
    }
}

bool existsAt(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// Creates an empty file only if nothing is at the path.
bool createEmptyExclusive(const std::string& path) {
    std::FILE* f = logFileCalls().open(path.c_str(), "wx");
    if (f == nullptr) {
        return false;
    }
    return logFileCalls().close(f) == 0;
}

} // namespace

myLog::myLog() {
    const std::lock_guard lock(logMutex());
    logFileName.clear();
}

bool myLog::createLogFile(const std::string&) {
    unwritableSaid = false; // a new log says anew why it cannot be written
    const std::string home = homeDirectory();
    if (home.empty()) {
        return true; // no home, no log: the first entry says so
    }
    const std::string folder = text::fill("%@//Olvenmark v1.0", home);
    createFolder(folder);
    std::string file = text::fill("%@//Error.log", folder);
    {
        const std::lock_guard lock(logMutex());
        logFileName = file;
    }
    createFile(file);
    return true;
}

bool myLog::createFolder(const std::string& path) {
    try {
        if (!existsAt(path)) {
            std::error_code ec;
            logFileCalls().makeFolders(path, ec);
            if (ec) {
                console::log(text::fill(logtext::kCreateFolderFailed, path));
            }
        }
        return true;
    } catch (const std::exception& e) {
        console::log(text::fill(logtext::kLogFolderException, text::exceptionName(e), e.what()));
        return false;
    }
}

bool myLog::createFile(const std::string& path) {
    try {
        if (existsAt(path)) {
            return false;
        }
        try {
            if (createEmptyExclusive(path)) {
                return true;
            }
            showAlert(logtext::kLogAlertTitle, text::fill(logtext::kLogFileFailed, path),
                      logtext::kLogAlertButton);
            return false;
        } catch (const std::exception& e) {
            showAlert(
                logtext::kLogAlertTitle,
                text::fill(logtext::kLogFileFailedWithReason, text::exceptionName(e), e.what()),
                logtext::kLogAlertButton);
            return false;
        }
    } catch (const std::exception& e) {
        console::log(text::fill(logtext::kLogFileException, text::exceptionName(e), e.what()));
        return false;
    }
}

bool myLog::addMessage(std::string_view message) {
    try {
        std::string entry = timestamp::logPrefix(std::time(nullptr));
        entry.append(message);
        entry += '\n';

        const std::lock_guard lock(logMutex());
        if (logFileName.empty()) {
            return lost(logFileName, 0);
        }
        // Append mode makes a deleted file again and puts every write at the
        // end, whoever else appends.
        const FileCalls& calls = logFileCalls();
        std::FILE* f = calls.open(logFileName.c_str(), "ab");
        if (f == nullptr) {
            return lost(logFileName, errno);
        }
        const bool written = calls.write(entry.data(), 1, entry.size(), f) == entry.size();
        const int writeError = errno;
        const bool closed = calls.close(f) == 0;
        if (!written || !closed) {
            return lost(logFileName, written ? errno : writeError);
        }
        unwritableSaid = false;
        return true;
    } catch (const std::exception& e) {
        console::log(text::fill(logtext::kLogWriteException, text::exceptionName(e), e.what()));
        return false;
    }
}

void myLog::setAlertHook(AlertHook hook) {
    const std::lock_guard lock(hookMutex);
    alertHook = std::move(hook);
}

std::string myLog::homeDirectory() {
    std::string path;
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        path = home;
    } else {
        // Never the current folder, which may be anyone's: the user's own entry.
        passwd entry{};
        passwd* found = nullptr;
        std::vector<char> buffer(16384);
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
            found != nullptr && found->pw_dir != nullptr) {
            path = found->pw_dir;
        }
    }
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

bool writeLog(std::string_view message) {
    const std::shared_ptr<myLog> log = loggingObject.load();
    return log && log->addMessage(message);
}

void logOrConsole(std::string_view message, std::string_view fallback) {
    // Once the log said why it cannot be written, a lost entry needs no word of its own.
    if (!writeLog(message) && !unwritableSaid) {
        console::log(fallback);
    }
}
