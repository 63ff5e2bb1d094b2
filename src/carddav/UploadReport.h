// What an upload says in the error log and in its report.
#pragma once

#include "engine/RunReport.h"

#include <string>
#include <string_view>
#include <vector>

namespace carddav {

// A card the address book did not take: row, URL, the server's status and reason.
inline constexpr std::string_view kUploadRefused =
    "Error: The address book refused the vCard of row [%d] %@: %@";
// Why an upload stopped: the address book's URL and the server's answer or error.
inline constexpr std::string_view kStopServer = "the server of %@ cannot be used: %@";

// The report of an upload: contacts, uploaded, already there, not uploaded and
// the address book's URL.
std::vector<std::string> uploadReportLines(const RunReport& report);

} // namespace carddav
