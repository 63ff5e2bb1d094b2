// The state one export shares across the engine, the log and the window.
// Each variable exists once per process and keeps one meaning throughout.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

class myLog;
class ConvertorClient;

// The error log every part of the system writes to; replaced by each new maker.
extern std::atomic<std::shared_ptr<myLog>> loggingObject;
// Receiver of the per-contact progress call and of the final report.
extern ConvertorClient* sender;
// Receiver of the header list and the property list; always the same as sender.
extern ConvertorClient* parent;
// The whole decoded text of the CSV loaded by the latest step 1.
extern std::optional<std::string> strFileData;
// Number of vCard property names once step 1 succeeded: the length of every record.
extern std::int64_t totalProperties;
// Share of the progress bar, in percent, one contact stands for.
extern float progressIncrementByValue;
// Index map: property position -> column position, both as decimal text.
extern std::map<std::string, std::string> mappingDictionary;
// The user's pairing: vCard property name -> CSV header name.
extern std::map<std::string, std::string> userMappingDictionary;
// Folder the current run writes into; ends in "/" once the run folder exists.
extern std::string vcardOutputFolderPath;
// The number tried in a numbered file name, "Name(n).vcf".
extern std::int64_t g_count;
// Number of the next "no_name" file; starts at 1 with every converter.
extern std::int64_t g_unknownCount;
// Full path of the error log file.
extern std::string logFileName;
