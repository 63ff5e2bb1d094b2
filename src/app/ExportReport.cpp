#include "app/ExportReport.h"

#include "app/Dialogs.h"
#include "app/UiTexts.h"
#include "carddav/UploadReport.h"
#include "engine/RunReport.h"
#include "engine/Text.h"
#include "engine/log/myLog.h"

using uitext::q;

ExportReport::ExportReport(const RunReport& report, std::size_t wideRows, bool upload)
    // The count as the report's second line has it after its colon: a blank, then the number.
    : summary_(upload ? text::fill(uitext::kUploadSummary, report.written, report.alreadyThere)
                      : text::fill(uitext::kSummary,
                                   text::fill(uitext::kSummaryCount, report.written))) {
    for (const auto& line : upload ? carddav::uploadReportLines(report) : report.lines()) {
        details_ += line + "\n";
    }
    if (wideRows > 0) {
        details_ += text::fill(uitext::kWideRows, wideRows) + "\n";
    }
    // A cancelled run must never read like a completed one.
    if (report.cancelled) {
        cancelled_ = text::fill(uitext::kCancelledDetail, report.failed(), report.total);
    }
}

QString ExportReport::summary() const {
    return q(summary_);
}

void ExportReport::show() const {
    Dialogs& dialogs = Dialogs::instance();
    if (dialogs.alert(q(uitext::kReport), q(summary_), {q(uitext::kOk), q(uitext::kDetails)},
                      q(cancelled_)) == 1) {
        dialogs.alert(q(uitext::kDetailedReport), q(details_), {q(uitext::kOk)});
    }
}

void ExportReport::log() const {
    logOrConsole(text::fill(uitext::kReportEntry, details_), uitext::kReportFallback);
}
