// What an upload says in the error log and in its report.
#pragma once

#include "engine/RunReport.h"

#include <string>
#include <string_view>
#include <vector>

namespace carddav {

// vCard 4.0 was chosen for an address book that does not say it stores it.
inline constexpr std::string_view kNoVersion4 =
    "Info: The address book %@ does not say it stores vCard 4.0: the cards go up as strict "
    "vCard 3.0";
// A card the address book did not take: row, URL, the server's status and reason.
inline constexpr std::string_view kUploadRefused =
    "Error: The address book refused the vCard of row [%d] %@: %@";
// A card the server took (201) and the address book does not hold afterwards.
inline constexpr std::string_view kNotKept =
    "Error: The address book does not hold the vCard of row [%d] %@ that the server took; "
    "it counts as not uploaded";
// The address book could not say which cards it holds: its URL and the answer.
inline constexpr std::string_view kCheckFailed =
    "Warning: The address book %@ could not be asked which vCards it holds: %@";
// A card an earlier upload put there, changed on the server since: it stays.
inline constexpr std::string_view kChangedKept =
    "Warning: The vCard of row [%d] %@ was changed on the server since the last upload; it is "
    "kept as it is";
inline constexpr std::string_view kChangedKeptEarlier =
    "Warning: The vCard %@ of the last upload was changed on the server since; it is kept";
// A card of an earlier upload that could not be removed: its URL and why.
inline constexpr std::string_view kRemoveFailed =
    "Warning: The vCard %@ of the last upload was not removed: %@";
// What was put where could not be written down for the next upload.
inline constexpr std::string_view kStatusNotWritten =
    "Error: The record of this upload could not be kept: %@";
// Why an upload stopped: the transport's reason, or the server's status.
inline constexpr std::string_view kStopServerGone = "the server went away: %@";
inline constexpr std::string_view kStopUserRefused =
    "the server no longer accepts the user name or password (%@)";

// The report of an upload: contacts, uploaded, already there, replaced, cards
// of the last upload removed, cards changed on the server and kept, not
// uploaded and the address book's URL.
std::vector<std::string> uploadReportLines(const RunReport& report);

} // namespace carddav
