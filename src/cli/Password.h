// The server password of an upload: never an argument, so it is not in the
// process list or the shell's history.
#pragma once

#include <optional>
#include <string>

// OLVENMARK_CARDDAV_PASSWORD when set; otherwise asked on the terminal without
// echo; none when there is neither.
std::optional<std::string> readPassword(const std::string& user);
