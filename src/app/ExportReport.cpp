#include "app/ExportReport.h"

#include "app/Dialogs.h"
#include "app/UiTexts.h"
#include "carddav/UploadReport.h"
#include "engine/RunReport.h"
#include "engine/Text.h"
#include "engine/log/myLog.h"

#include <QFileInfo>

using uitext::number;
using uitext::q;

ExportReport::ExportReport(const RunReport& report, std::size_t wideRows, bool upload)
    // The count as the report's second line has it after its colon: a blank, then the number.
    : summary_(upload ? text::fill(uitext::kUploadSummary, number(report.written),
                                   number(report.alreadyThere))
                      : text::fill(uitext::kSummary,
                                   text::fill(uitext::kSummaryCount, report.written))) {
    // A run that stopped on an error must never read like a completed one.
    if (report.stopped()) {
        stopped_ = text::fill(upload ? uitext::kUploadStopped : uitext::kExportStopped,
                              number(report.stoppedAt), number(report.total), report.stopReason);
    }
    auto lines = upload ? carddav::uploadReportLines(report) : report.lines();
    // The folder line names the run folder only when there is one to look in;
    // it follows the three counts.
    constexpr std::size_t kFolderLine = 3;
    if (!upload && lines.size() >= kFolderLine &&
        !QFileInfo(QString::fromStdString(report.folder)).isDir()) {
        if (!report.folder.empty()) {
            lines.erase(lines.begin() + kFolderLine);
        }
        lines.insert(lines.begin() + kFolderLine, std::string(uitext::kNoFolderMade));
    }
    for (const auto& line : lines) {
        details_ += line + "\n";
    }
    if (wideRows > 0) {
        details_ += text::fill(uitext::kWideRows, wideRows) + "\n";
    }
    if (report.cancelled || report.stopped()) {
        undone_ = text::fill(upload ? uitext::kNotUploaded : uitext::kNotMigrated,
                             number(report.failed()), number(report.total));
    }
    if (report.cancelled) {
        undone_ = text::fill(upload ? uitext::kUploadCancelled : uitext::kExportCancelled, undone_);
    }
}

QString ExportReport::summary() const {
    return q(summary_);
}

void ExportReport::show() const {
    const std::string text = stopped_.empty() ? summary_ : stopped_ + "\n" + summary_;
    if (ask(uitext::kReport, text, {uitext::kOk, uitext::kDetails}, undone_) == 1) {
        ask(uitext::kDetailedReport, details_, {uitext::kOk});
    }
}

void ExportReport::log() const {
    logOrConsole(text::fill(uitext::kReportEntry, details_), uitext::kReportFallback);
}
