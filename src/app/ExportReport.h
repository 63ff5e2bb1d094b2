// What an export came to, as the user reads it: the summary line, above it
// why and where a run stopped on an error, below it what a cancel or a stop
// left undone, the full report on request, and the error log's entry.
#pragma once

#include <QString>

#include <cstddef>
#include <string>

struct RunReport;

class ExportReport {
public:
    // The run's report; `wideRows` rows of its file were wider than the header;
    // `upload`: the run went to an address book, not a folder.
    ExportReport(const RunReport& report, std::size_t wideRows, bool upload = false);

    // The summary of how many contacts were migrated or uploaded.
    QString summary() const;
    // The summary in an alert, below why a run stopped and above what a cancel
    // or a stop left undone; the full report follows when the user asks for it.
    void show() const;
    // Appends the full report to the error log.
    void log() const;

private:
    // Above the summary in the alert when an error stopped the run: why, and where.
    std::string stopped_;
    std::string summary_;
    // The report's lines, and the wide rows when there were any.
    std::string details_;
    // Below the summary after a cancel or a stop; empty otherwise.
    std::string undone_;
};
