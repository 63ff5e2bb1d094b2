#include "engine/log/Console.h"

#include <cstdio>
#include <mutex>

namespace console {

void log(std::string_view line) {
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

} // namespace console
