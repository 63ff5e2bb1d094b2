// Local date and time in the two fixed shapes the system writes.
#pragma once

#include <ctime>
#include <string>

namespace timestamp {

// "[dd/MM/yy] [HH:mm:ss] " with the calendar year, for log entries.
std::string logPrefix(std::time_t when);
// "__dd_MM_yy__HH_mm_ss", for the run folder's name.
std::string folderStamp(std::time_t when);

} // namespace timestamp
