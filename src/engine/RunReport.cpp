#include "engine/RunReport.h"

#include "engine/Text.h"
#include "engine/log/LogTexts.h"

std::vector<std::string> RunReport::lines() const {
    std::vector<std::string> lines = {
        text::fill("%@ : %@", cancelled ? logtext::kReportCancelledTotal : logtext::kReportTotal,
                   total),
        text::fill("%@ : %@", logtext::kReportWritten, written),
        text::fill("%@ : %d", logtext::kReportFailed, failed()),
    };
    // A run folder that could not be made holds no vCard to be found.
    if (!folder.empty()) {
        lines.push_back(text::fill("%@ :\n%@", logtext::kReportFolder, folder));
    }
    if (merged > 0) {
        lines.push_back(text::fill(logtext::kReportMerged, text::grouped(total),
                                   text::grouped(total - merged), text::grouped(merged),
                                   merged == 1 ? logtext::kRow : logtext::kRows));
    }
    return lines;
}
