#include "engine/log/myLog.h"

#include "engine/RunState.h"
#include "engine/Text.h"
#include "engine/TimeStamp.h"
#include "engine/files/FileCalls.h"
#include "engine/log/Console.h"
#include "engine/log/LogTexts.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <mutex>

namespace fs = std::filesystem;

namespace {

// Guards logFileName and keeps each entry whole when two threads append at once.
std::mutex& logMutex() {
    static std::mutex mutex;
    return mutex;
}

std::mutex hookMutex;
myLog::AlertHook alertHook;

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
    const std::string folder = text::fill("%@//Olvenmark v1.0", homeDirectory());
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
            return false;
        }
        if (!existsAt(logFileName) && !createEmptyExclusive(logFileName)) {
            console::log(logtext::kLogFileMissing);
        }
        // Append mode puts every write at the end, whoever else appends.
        const FileCalls& calls = logFileCalls();
        std::FILE* f = calls.open(logFileName.c_str(), "ab");
        if (f == nullptr) {
            return false;
        }
        const bool written = calls.write(entry.data(), 1, entry.size(), f) == entry.size();
        const bool closed = calls.close(f) == 0;
        return written && closed;
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
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        std::string path(home);
        while (path.size() > 1 && path.back() == '/') {
            path.pop_back();
        }
        return path;
    }
    std::error_code ec;
    return fs::current_path(ec).string();
}

bool writeLog(std::string_view message) {
    const std::shared_ptr<myLog> log = loggingObject.load();
    return log && log->addMessage(message);
}

void logOrConsole(std::string_view message, std::string_view fallback) {
    if (!writeLog(message)) {
        console::log(fallback);
    }
}
