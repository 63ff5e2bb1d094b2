#include "engine/TimeStamp.h"

namespace timestamp {

namespace {
std::string format(std::time_t when, const char* pattern) {
    std::tm local{};
    localtime_r(&when, &local);
    char buffer[64];
    const auto n = std::strftime(buffer, sizeof buffer, pattern, &local);
    return std::string(buffer, n);
}
} // namespace

std::string logPrefix(std::time_t when) {
    return format(when, "[%d/%m/%y] [%H:%M:%S] ");
}

std::string folderStamp(std::time_t when) {
    return format(when, "__%d_%m_%y__%H_%M_%S");
}

} // namespace timestamp
