#include "TerminalProgress.h"

#include <algorithm>
#include <string>

void TerminalProgress::notify(float) {
    ++done_;
    if (draw_) {
        drawBar(false);
    }
}

void TerminalProgress::finalNotify(const std::vector<std::string>& report) {
    report_ = report;
    if (draw_) {
        drawBar(true);
        std::fputs("\n", out_);
        std::fflush(out_);
    }
}

void TerminalProgress::drawBar(bool force) {
    // A redraw costs a write to the terminal: ten a second are plenty.
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastDraw_ < std::chrono::milliseconds(100)) {
        return;
    }
    lastDraw_ = now;
    constexpr int kWidth = 30;
    const double share = total_ > 0 ? static_cast<double>(done_) / static_cast<double>(total_) : 1;
    const int filled = std::clamp(static_cast<int>(share * kWidth), 0, kWidth);
    const std::string bar = std::string(filled, '#') + std::string(kWidth - filled, '-');
    std::fprintf(out_, "\r[%s] %lld/%lld %3d %%", bar.c_str(), static_cast<long long>(done_),
                 static_cast<long long>(total_), static_cast<int>(share * 100));
    std::fflush(out_);
}
