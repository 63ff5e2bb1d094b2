// The progress bar olvenmark-cli draws on a terminal while a run goes on.
#pragma once

#include <cstdint>
#include <cstdio>

class TerminalProgress {
public:
    // Draws on `out` only when `draw` is set (standard error is a terminal).
    TerminalProgress(std::FILE* out, bool draw) : out_(out), draw_(draw) {}

    // Shows `done` of `total` contacts, redrawing the bar's one line.
    void show(std::int64_t done, std::int64_t total);
    // Ends the bar's line once the run is over.
    void finish(std::int64_t done, std::int64_t total);

private:
    std::FILE* out_;
    bool draw_;
};
