#include "carddav/UploadReport.h"

namespace carddav {

std::vector<std::string> uploadReportLines(const RunReport& report) {
    std::vector<std::string> lines;
    if (report.cancelled) {
        lines.push_back("Upload cancelled.");
    }
    lines.push_back("Contacts:                    " + std::to_string(report.total));
    lines.push_back("Uploaded:                    " + std::to_string(report.written));
    lines.push_back("Already in the address book: " + std::to_string(report.alreadyThere));
    lines.push_back("Replaced:                    " + std::to_string(report.replaced));
    lines.push_back("Removed:                     " + std::to_string(report.removed));
    lines.push_back("Changed on the server, kept: " +
                    std::to_string(report.keptChanged + report.earlierKept));
    lines.push_back("Not uploaded:                " + std::to_string(report.failed()));
    lines.push_back("Address book:                " + report.folder);
    return lines;
}

} // namespace carddav
