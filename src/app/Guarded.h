// How a window action meets a failure: it is logged with the action's own
// entry and ends only that action; what it did before stays.
#pragma once

#include "engine/Text.h"
#include "engine/log/Console.h"
#include "engine/log/myLog.h"

#include <exception>
#include <string>
#include <string_view>

// Runs `body`; a failure inside it is written to the error log with
// `logFormat`, and to the console with `consoleFormat` when there is one.
template <class Body>
void guarded(std::string_view logFormat, Body&& body, std::string_view consoleFormat = {}) {
    try {
        body();
    } catch (const std::exception& e) {
        const std::string name = text::exceptionName(e);
        logOrConsole(text::fill(logFormat, name, e.what()));
        if (!consoleFormat.empty()) {
            console::log(text::fill(consoleFormat, name, e.what()));
        }
    }
}
