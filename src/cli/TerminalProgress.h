// What the command line shows of a run: a progress bar on a terminal, and the
// report kept for the end.
#pragma once

#include "ConvertorClient.h"

#include <chrono>
#include <cstdint>
#include <cstdio>

class TerminalProgress : public ConvertorClient {
public:
    // Draws on `out` only when `draw` is set (standard error is a terminal).
    TerminalProgress(std::FILE* out, bool draw) : out_(out), draw_(draw) {}

    void addCSVHeadersToComboBox(const std::vector<std::string>& headers) override {
        headers_ = headers;
    }
    void addVcardPropertiesToComboBox(const std::vector<std::string>&) override {}
    void notify(float increment) override;
    void finalNotify(const std::vector<std::string>& report) override;

    // Contacts in the file, for the "n/N" count.
    void setTotal(std::int64_t total) { total_ = total; }
    const std::vector<std::string>& headers() const { return headers_; }
    const std::vector<std::string>& report() const { return report_; }

private:
    void drawBar(bool force);

    std::FILE* out_;
    bool draw_;
    std::int64_t total_ = 0;
    std::int64_t done_ = 0;
    std::chrono::steady_clock::time_point lastDraw_{};
    std::vector<std::string> headers_;
    std::vector<std::string> report_;
};
