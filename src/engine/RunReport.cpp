#include "engine/RunReport.h"

#include "engine/Text.h"
#include "engine/log/LogTexts.h"

std::vector<std::string> RunReport::lines() const {
    return {
        text::fill("%@ : %@", cancelled ? logtext::kReportCancelledTotal : logtext::kReportTotal,
                   total),
        text::fill("%@ : %@", logtext::kReportWritten, written),
        text::fill("%@ : %d", logtext::kReportFailed, failed()),
        text::fill("%@ :\n%@", logtext::kReportFolder, folder),
    };
}
