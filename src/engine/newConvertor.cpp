#include "newConvertor.h"

#include "Console.h"
#include "ContactPipeline.h"
#include "ConvertorClient.h"
#include "Csv.h"
#include "CsvTexts.h"
#include "Mapping.h"
#include "Output.h"
#include "Properties.h"
#include "RunState.h"
#include "Text.h"
#include "VCard.h"
#include "myLog.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace {

std::optional<std::size_t> positionOf(const std::vector<std::string>& names,
                                      const std::string& name) {
    const auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(it - names.begin());
}

std::string_view fileText() {
    return strFileData ? std::string_view(*strFileData) : std::string_view();
}

} // namespace

newConvertor::newConvertor() {
    mappingDictionary.clear();
    csvHeadersArray.clear();
    vcardOutputFolderPath.clear();
    progressIncrementByValue = 0.0f;
    totalProperties = 0;
    g_count = 0;
    g_unknownCount = 1;
    auto log = std::make_shared<myLog>();
    log->createLogFile();
    loggingObject.store(log);
    logOrConsole("Start Application", "(init) Error while writing to log file");
}

newConvertor::~newConvertor() {
    logOrConsole("End Application", "(dealloc) Error while writing to log file");
}

std::int64_t newConvertor::startStep1(const std::string& path, ConvertorClient* controller) {
    sender = controller;
    parent = controller;
    std::int64_t contacts = 0;
    logOrConsole("Info: Start: STEP 1");
    try {
        loadCsvFile(path);
        const std::vector<std::string_view>& rows = loadedRows;
        if (rows.size() >= 2) {
            csvHeadersArray =
                splitString(rows.front(), csvDelimiter).value_or(std::vector<std::string>{});
            if (parent != nullptr) {
                parent->addCSVHeadersToComboBox(csvHeadersArray);
            }
            vCardPropertyArray.assign(property::kNames.begin(), property::kNames.end());
            totalProperties = static_cast<std::int64_t>(vCardPropertyArray.size());
            if (parent != nullptr) {
                parent->addVcardPropertiesToComboBox(vCardPropertyArray);
            }
            contacts = static_cast<std::int64_t>(rows.size()) - 1;
            progressIncrementByValue = static_cast<float>(100.0 / static_cast<double>(contacts));
        }
    } catch (const std::exception& e) {
        logOrConsole(text::fill("EXCEPTION\nOccured in startStep1()\n\nname: %@\nReason: %@",
                                text::exceptionName(e), e.what()));
        contacts = 0;
        csvDiagnostics.refusalReason = text::fill(csvtext::kReasonFailed, e.what());
    }
    logOrConsole("INFO: End: STEP 1");
    return contacts;
}

void newConvertor::setLoadOptions(const CsvLoadOptions& options) {
    csvLoadOptions = options;
}

const CsvLoadDiagnostics& newConvertor::loadDiagnostics() const {
    return csvDiagnostics;
}

void newConvertor::setTypedGroups(std::vector<TypedGroup> groups) {
    typedGroups = std::move(groups);
}

void newConvertor::loadCsvFile(const std::string& path) {
    csvDiagnostics = {};
    typedGroups.clear();
    loadedRows.clear();
    DecodedCsv decoded = readCsvText(path, csvLoadOptions.encoding);
    strFileData = std::move(decoded.text);
    loadedText = fileText().data();
    loadedSize = fileText().size();
    csvDiagnostics.encoding = decoded.encoding;
    if (!strFileData) {
        csvDiagnostics.refusalReason = decoded.failure;
        logOrConsole(text::fill(csvtext::kRefused, decoded.failure));
        return;
    }
    logOrConsole(text::fill(csvtext::kEncodingUsed, decoded.encoding));
    CsvLayout layout = layOutCsv(fileText(), csvLoadOptions.delimiter);
    loadedRows = std::move(layout.rows);
    csvDelimiter = layout.delimiter;
    csvDiagnostics.delimiter = delimiterName(layout.delimiter);
    csvDiagnostics.preambleLinesSkipped = layout.preambleLinesSkipped;
    csvDiagnostics.wideRows = layout.wideRows;
    logOrConsole(text::fill(csvtext::kDelimiterUsed, csvDiagnostics.delimiter));
    if (layout.preambleLinesSkipped > 0) {
        logOrConsole(text::fill(csvtext::kPreambleSkipped, layout.preambleLinesSkipped));
    }
    if (layout.wideRows > 0) {
        logOrConsole(text::fill(csvtext::kWideRows, layout.wideRows));
    }
    if (loadedRows.size() < 2) {
        csvDiagnostics.refusalReason =
            loadedRows.empty() ? csvtext::kReasonEmpty : csvtext::kReasonNoContacts;
        logOrConsole(text::fill(csvtext::kRefused, csvDiagnostics.refusalReason));
    }
}

bool newConvertor::startStep2(const std::map<std::string, std::string>& pairing) {
    logOrConsole("Info: Start: STEP 2");
    try {
        std::map<std::string, std::string> indexMap;
        for (const auto& [propertyName, headerName] : pairing) {
            const auto p = positionOf(vCardPropertyArray, propertyName);
            const auto c = positionOf(csvHeadersArray, headerName);
            if (!p && !c) {
                continue; // neither name is known: the pair means nothing
            }
            if (!p || !c) {
                throw std::invalid_argument(text::fill("no %@ named '%@'",
                                                       p ? "column" : "vCard property",
                                                       p ? headerName : propertyName));
            }
            indexMap[std::to_string(*p)] = std::to_string(*c);
        }
        mappingDictionary = std::move(indexMap);
        logOrConsole("INFO: End: STEP 2");
        return true;
    } catch (const std::exception& e) {
        const std::string name = text::exceptionName(e);
        logOrConsole(text::fill("EXCEPTION\nOccured in startStep2()\n\nname: %@\nReason: %@", name,
                                e.what()));
        console::log(
            text::fill("EXCEPTION\nOccured in startStep2()\nname: %@\nReason: %@", name, e.what()));
        logOrConsole("INFO: End: STEP 2");
        return false;
    }
}

std::optional<std::vector<std::string>> newConvertor::mapProperties(std::string_view row) const {
    try {
        std::vector<std::string> notCarried;
        return mapFields(row, parseIndexMap(), csvDelimiter, typedGroups, notCarried);
    } catch (const std::exception& e) {
        logOrConsole(mapFailureEntry(e));
        return std::nullopt;
    }
}

void newConvertor::gotDestinationPath(const std::string& destination) {
    vcardOutputFolderPath += destination;
    vcardOutputFolderPath += text::fill("/%@/", runFolderName());
    std::error_code ec;
    std::filesystem::create_directories(vcardOutputFolderPath, ec);
    if (ec || !std::filesystem::is_directory(vcardOutputFolderPath, ec)) {
        console::log(text::fill("Error: Create folder failed %@", vcardOutputFolderPath));
    }
}

bool newConvertor::startStep3(std::stop_token cancel, const std::string& destination) {
    logOrConsole("Info: Start: STEP 3");
    try {
        gotDestinationPath(destination);
        if (startConversion(cancel) == RunEnd::Cancelled) {
            return true; // a cancelled run ends the thread at once
        }
    } catch (const std::exception& e) {
        logOrConsole(text::fill("EXCEPTION\nOccured in startStep3()\n\nname: %@\nReason: %@",
                                text::exceptionName(e), e.what()));
    }
    logOrConsole("INFO: End: STEP 3");
    return true;
}

newConvertor::RunEnd newConvertor::startConversion(std::stop_token cancel) {
    std::int64_t total = 0;
    std::int64_t written = 0;
    RunEnd end = RunEnd::Completed;
    try {
        const std::vector<std::string_view> rows = rowsOfLoadedText();
        total = std::max<std::int64_t>(0, static_cast<std::int64_t>(rows.size()) - 1);
        // Records and texts are made ahead; names and files follow in order here.
        const auto linesAbove = static_cast<std::int64_t>(csvDiagnostics.preambleLinesSkipped);
        ContactPipeline contacts(rows, 1, parseIndexMap(), {csvDelimiter, typedGroups, linesAbove});
        std::int64_t rowNumber = linesAbove;
        bool headerSeen = false;
        for (std::size_t index = 0; index < rows.size(); ++index) {
            ++rowNumber;
            if (cancel.stop_requested()) {
                releaseReservedFile();
                logOrConsole("Info: Migration cancelled");
                const auto report = runReport(true, total, written);
                for (const auto& line : report) {
                    logOrConsole(line);
                }
                if (sender != nullptr) {
                    sender->finalNotify(report);
                }
                return RunEnd::Cancelled;
            }
            if (!headerSeen) {
                headerSeen = true;
                continue;
            }
            const PreparedContact& contact = contacts.next();
            for (const auto& entry : contact.logEntries) {
                logOrConsole(entry);
            }
            if (contact.mapped) {
                g_count = 1;
                std::optional<std::string> path;
                if (contact.namingFailure) {
                    console::log(*contact.namingFailure);
                    path = std::string(kStopRun);
                } else {
                    path = reserveVCardFile(contact.nameBase);
                }
                if (!path) {
                    logOrConsole(text::fill(
                        "Failed to create vCard for contact in CSV, Row number: [%d]:\nInvalid "
                        "First Name or Middle Name or Last Name.\nTry using a name with fewer "
                        "characters, or with no punctuation marks.",
                        rowNumber));
                } else if (*path == kStopRun) {
                    written = 0;
                    end = RunEnd::Stopped;
                    break;
                } else if (createVcardFile(contact.card, *path)) {
                    ++written;
                } else {
                    end = RunEnd::Stopped;
                    break;
                }
            }
            if (sender != nullptr) {
                sender->notify(progressIncrementByValue);
            }
        }
    } catch (const std::exception& e) {
        logOrConsole(text::fill("EXCEPTION\nOccured in startConversion()\n\nname: %@\nReason: %@",
                                text::exceptionName(e), e.what()));
        end = RunEnd::Failed;
    }
    releaseReservedFile();
    if (sender != nullptr) {
        sender->finalNotify(runReport(false, total, written));
    }
    return end;
}

std::vector<std::string_view> newConvertor::rowsOfLoadedText() const {
    const std::string_view text = fileText();
    if (text.data() == loadedText && text.size() == loadedSize) {
        return loadedRows;
    }
    return contactRows(text, csvDelimiter);
}

std::vector<std::string> newConvertor::runReport(bool cancelled, std::int64_t total,
                                                 std::int64_t written) {
    return {
        text::fill("%@ : %@",
                   cancelled ? "Migration canceled.\nTotal Contacts\t" : "Total Contacts\t", total),
        text::fill("%@ : %@", "Successful\t\t", written),
        text::fill("%@ : %d", "Failed\t\t", total - written),
        text::fill("%@ :\n%@", "\nvCards can be found at path", vcardOutputFolderPath),
    };
}
