#include "engine/newConvertor.h"

#include "engine/ConvertorClient.h"
#include "engine/RunState.h"
#include "engine/Text.h"
#include "engine/cards/ContactPipeline.h"
#include "engine/cards/ControlCharacters.h"
#include "engine/cards/VCard.h"
#include "engine/files/Output.h"
#include "engine/files/SingleVcfFile.h"
#include "engine/log/Console.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"
#include "engine/pair/Mapping.h"
#include "engine/pair/Properties.h"
#include "engine/read/Csv.h"
#include "engine/read/CsvTexts.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
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

// Creates the run's single file, named after the CSV, in the run folder;
// leaves `file` empty when it cannot.
void openSingleFile(std::optional<SingleVcfFile>& file, const std::string& csvPath) {
    file.emplace();
    const std::string path = vcardOutputFolderPath + singleFileName(csvPath);
    if (!file->create(path)) {
        logOrConsole(text::fill(logtext::kCreateFileFailed, path));
        file.reset();
    }
}

// Appends one contact's card to the single file, logging a failed write.
bool appendToSingleFile(SingleVcfFile& file, const std::string& card, std::int64_t rowNumber) {
    if (file.append(card)) {
        return true;
    }
    logOrConsole(
        text::fill(logtext::kSingleFileWriteFailed, rowNumber, file.path(), std::strerror(errno)));
    return false;
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
    logOrConsole(logtext::kStartApplication, logtext::kInitFallback);
}

newConvertor::~newConvertor() {
    logOrConsole(logtext::kEndApplication, logtext::kDeallocFallback);
}

std::int64_t newConvertor::startStep1(const std::string& path, ConvertorClient* controller) {
    sender = controller;
    parent = controller;
    std::int64_t contacts = 0;
    logOrConsole(logtext::kStep1Start);
    try {
        loadCsvFile(path);
        loadedPath = path;
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
        logOrConsole(text::fill(logtext::kStep1Exception, text::exceptionName(e), e.what()));
        contacts = 0;
        csvDiagnostics.refusalReason = text::fill(csvtext::kReasonFailed, e.what());
    }
    logOrConsole(logtext::kStep1End);
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
    logOrConsole(logtext::kStep2Start);
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
        logOrConsole(logtext::kStep2End);
        return true;
    } catch (const std::exception& e) {
        const std::string name = text::exceptionName(e);
        logOrConsole(text::fill(logtext::kStep2Exception, name, e.what()));
        console::log(text::fill(logtext::kStep2ConsoleException, name, e.what()));
        logOrConsole(logtext::kStep2End);
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
        console::log(text::fill(logtext::kCreateFolderFailed, vcardOutputFolderPath));
    }
}

bool newConvertor::startStep3(std::stop_token cancel, const std::string& destination) {
    logOrConsole(logtext::kStep3Start);
    try {
        gotDestinationPath(destination);
        if (startConversion(cancel) == RunEnd::Cancelled) {
            return true; // a cancelled run ends the thread at once
        }
    } catch (const std::exception& e) {
        logOrConsole(text::fill(logtext::kStep3Exception, text::exceptionName(e), e.what()));
    }
    logOrConsole(logtext::kStep3End);
    return true;
}

newConvertor::RunEnd newConvertor::startConversion(std::stop_token cancel) {
    std::int64_t total = 0;
    std::int64_t written = 0;
    RunEnd end = RunEnd::Completed;
    std::size_t droppedControls = 0;
    try {
        const std::vector<std::string_view> rows = rowsOfLoadedText();
        total = std::max<std::int64_t>(0, static_cast<std::int64_t>(rows.size()) - 1);
        // Records and texts are made ahead; names and files follow in order here.
        const auto linesAbove = static_cast<std::int64_t>(csvDiagnostics.preambleLinesSkipped);
        ContactPipeline contacts(rows, 1, parseIndexMap(), {csvDelimiter, typedGroups, linesAbove},
                                 options);
        std::optional<SingleVcfFile> oneFile;
        if (options.singleFile) {
            openSingleFile(oneFile, loadedPath);
        }
        std::int64_t rowNumber = linesAbove;
        bool headerSeen = false;
        for (std::size_t index = 0; index < rows.size(); ++index) {
            ++rowNumber;
            if (cancel.stop_requested()) {
                releaseReservedFile();
                logOrConsole(logtext::kCancelled);
                const RunReport report = runReport(true, total, written);
                for (const auto& line : report.lines()) {
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
            droppedControls += contact.droppedControls;
            if (contact.mapped && options.singleFile) {
                if (!oneFile) {
                    end = RunEnd::Stopped; // the file could not be created
                    break;
                } else if (!contact.card) {
                    // Counted as not written; the other cards still go in.
                } else if (appendToSingleFile(*oneFile, *contact.card, rowNumber)) {
                    ++written;
                } else {
                    end = RunEnd::Stopped;
                    break;
                }
            } else if (contact.mapped) {
                g_count = 1;
                std::optional<std::string> path;
                if (contact.namingFailure) {
                    console::log(*contact.namingFailure);
                    path = std::string(kStopRun);
                } else {
                    path = reserveVCardFile(contact.nameBase);
                }
                if (!path) {
                    logOrConsole(text::fill(logtext::kInvalidName, rowNumber));
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
        logOrConsole(text::fill(logtext::kConversionException, text::exceptionName(e), e.what()));
        end = RunEnd::Failed;
    }
    if (droppedControls > 0) {
        logOrConsole(droppedControlCharactersEntry(droppedControls));
    }
    releaseReservedFile();
    if (sender != nullptr) {
        sender->finalNotify(runReport(false, total, written));
    }
    return end;
}

std::optional<std::string>
newConvertor::previewFirstCard(const std::map<std::string, std::string>& pairing,
                               const std::vector<TypedGroup>& groups,
                               const ExportOptions& chosen) const {
    if (loadedRows.size() < 2) {
        return std::nullopt;
    }
    std::vector<IndexPair> pairs;
    for (const auto& [propertyName, headerName] : pairing) {
        const auto p = positionOf(vCardPropertyArray, propertyName);
        const auto c = positionOf(csvHeadersArray, headerName);
        if (p && c) {
            pairs.push_back({*p, *c});
        }
    }
    try {
        std::vector<std::string> notCarried;
        auto record = mapFields(loadedRows[1], pairs, csvDelimiter, groups, notCarried);
        dropControlCharacters(record);
        return renderContactCard(ContactRecord{std::move(record), {}}, loadedRows[1], 0, chosen);
    } catch (const std::exception&) {
        return std::nullopt; // a short first row: the run counts it as not written
    }
}

std::vector<std::vector<std::string>> newConvertor::previewRows(std::size_t count) const {
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < loadedRows.size() && i <= count; ++i) {
        rows.push_back(
            splitString(loadedRows[i], csvDelimiter).value_or(std::vector<std::string>{}));
    }
    return rows;
}

void newConvertor::setExportOptions(const ExportOptions& chosen) {
    options = chosen;
}

std::vector<std::string_view> newConvertor::rowsOfLoadedText() const {
    const std::string_view text = fileText();
    if (text.data() == loadedText && text.size() == loadedSize) {
        return loadedRows;
    }
    return contactRows(text, csvDelimiter);
}

RunReport newConvertor::runReport(bool cancelled, std::int64_t total, std::int64_t written) {
    return RunReport{cancelled, total, written, vcardOutputFolderPath};
}
