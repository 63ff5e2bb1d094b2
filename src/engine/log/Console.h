// The console log: standard error, one line per call, safe from any thread.
#pragma once

#include <string_view>

namespace console {

void log(std::string_view line);

} // namespace console
