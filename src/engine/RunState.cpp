#include "engine/RunState.h"

#include "engine/log/myLog.h"

std::atomic<std::shared_ptr<myLog>> loggingObject;
ConvertorClient* sender = nullptr;
ConvertorClient* parent = nullptr;
std::optional<std::string> strFileData;
std::int64_t totalProperties = 0;
float progressIncrementByValue = 0.0f;
std::map<std::string, std::string> mappingDictionary;
std::map<std::string, std::string> userMappingDictionary;
std::string vcardOutputFolderPath;
std::int64_t g_count = 0;
std::int64_t g_unknownCount = 0;
std::string logFileName;
