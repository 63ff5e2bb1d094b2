#include "cli/TerminalProgress.h"

#include <algorithm>
#include <string>

void TerminalProgress::show(std::int64_t done, std::int64_t total) {
    if (!draw_) {
        return;
    }
    constexpr int kWidth = 30;
    const double share = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1;
    const int filled = std::clamp(static_cast<int>(share * kWidth), 0, kWidth);
    const std::string bar = std::string(filled, '#') + std::string(kWidth - filled, '-');
    std::fprintf(out_, "\r[%s] %lld/%lld %3d %%", bar.c_str(), static_cast<long long>(done),
                 static_cast<long long>(total), static_cast<int>(share * 100));
    std::fflush(out_);
}

void TerminalProgress::finish(std::int64_t done, std::int64_t total) {
    if (draw_) {
        show(done, total);
        std::fputs("\n", out_);
        std::fflush(out_);
    }
}
