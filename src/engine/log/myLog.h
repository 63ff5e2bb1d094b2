// The error log: one file under the home directory that every part of the
// system appends time-stamped entries to, across runs and threads.
#pragma once

#include "engine/log/LogTexts.h"

#include <functional>
#include <string>
#include <string_view>

class myLog {
public:
    // Shows a modal alert with a title, a text and one button.
    using AlertHook = std::function<void(const std::string& title, const std::string& text,
                                         const std::string& button)>;

    // Clears the shared log path until createLogFile sets it up again.
    myLog();

    // Creates "Olvenmark v1.0/Error.log" under the home directory when missing.
    // The argument is the application's folder and plays no part. Always true.
    bool createLogFile(const std::string& applicationFolder = {});
    // Creates the folder and its parents unless something is there already.
    bool createFolder(const std::string& path);
    // Creates an empty file; true only when this call created it.
    bool createFile(const std::string& path);
    // Appends "[dd/MM/yy] [HH:mm:ss] " + message + "\n"; false when it was not
    // written. The first entry lost says on the console why, once.
    bool addMessage(std::string_view message);

    // Where the log's alerts go; the console until the application sets one.
    static void setAlertHook(AlertHook hook);
    // $HOME, or the home folder of the user's entry in the password database
    // when it is not set or empty; empty when neither is known: then there is no log.
    static std::string homeDirectory();
};

// Appends to the current error log; false when there is none or the write failed.
bool writeLog(std::string_view message);
// Appends to the error log, or writes the fallback to the console when that
// fails and the log has not said why already.
void logOrConsole(std::string_view message, std::string_view fallback = logtext::kLogWriteFallback);
