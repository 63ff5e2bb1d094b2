#include "engine/newConvertor.h"

#include "engine/ConvertorClient.h"
#include "engine/Destination.h"
#include "engine/RunState.h"
#include "engine/Text.h"
#include "engine/cards/ContactPipeline.h"
#include "engine/cards/ControlCharacters.h"
#include "engine/cards/VCard.h"
#include "engine/files/FileCalls.h"
#include "engine/files/FileDestinations.h"
#include "engine/files/Output.h"
#include "engine/log/Console.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"
#include "engine/pair/HeaderNames.h"
#include "engine/pair/Mapping.h"
#include "engine/pair/Properties.h"
#include "engine/pair/ValueShapes.h"
#include "engine/read/Csv.h"
#include "engine/read/CsvTexts.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace {

std::optional<std::size_t> columnOf(const std::vector<std::string>& headers,
                                    const std::string& name) {
    const auto it = std::find(headers.begin(), headers.end(), name);
    if (it == headers.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(it - headers.begin());
}

// The first `named` row numbers, joined by ", ", and how many more there are.
std::string rowList(const std::vector<std::size_t>& rows, std::size_t named) {
    std::string list;
    for (std::size_t i = 0; i < rows.size() && i < named; ++i) {
        list += (i > 0 ? ", " : "") + std::to_string(rows[i]);
    }
    if (rows.size() > named) {
        list += text::fill(csvtext::kMoreRows, rows.size() - named);
    }
    return list;
}

// Rows a log entry names before it only counts the rest.
constexpr std::size_t kRowsLogged = 20;

// Things a run counts row by row and names the rows of in one log entry.
struct RowTally {
    std::size_t count = 0;
    std::vector<std::size_t> rows;

    void add(std::size_t things, std::int64_t row) {
        count += things;
        rows.push_back(static_cast<std::size_t>(row));
    }
    // The entry: `format` filled with the count, the thing's word, and the rows.
    std::string entry(std::string_view format, std::string_view one,
                      std::string_view several) const {
        return text::fill(format, count, count == 1 ? one : several,
                          rows.size() == 1 ? logtext::kRow : logtext::kRows,
                          rowList(rows, kRowsLogged));
    }
};

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

void newConvertor::loadCsvFile(const std::string& path) {
    csvDiagnostics = {};
    columnExtras = {};
    valueCounts.reset();
    birthdayOrders.clear();
    loadedRows.clear();
    DecodedCsv decoded = getCsvFileData(path, csvLoadOptions.encoding);
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
    csvDiagnostics.footerLinesSkipped = layout.footerLinesSkipped;
    csvDiagnostics.wideRows = layout.wideRows;
    csvDiagnostics.shortRows = layout.shortRows;
    logOrConsole(text::fill(csvtext::kDelimiterUsed, csvDiagnostics.delimiter));
    const std::pair<std::string_view, std::size_t> counts[] = {
        {csvtext::kPreambleSkipped, layout.preambleLinesSkipped},
        {csvtext::kFooterSkipped, layout.footerLinesSkipped},
        {csvtext::kWideRows, layout.wideRows},
        {csvtext::kShortRows, layout.shortRows},
    };
    for (const auto& [entry, count] : counts) {
        if (count > 0) {
            logOrConsole(text::fill(entry, count));
        }
    }
    if (const std::size_t row = layout.unclosedQuoteRow; row > 0) {
        logOrConsole(text::fill(csvtext::kUnclosedQuote, row));
        csvDiagnostics.unclosedQuoteNote = text::fill(csvtext::kUnclosedQuoteNote, row);
    }
    if (!decoded.strayBytes.empty()) {
        noteStrayBytes(decoded.strayBytes);
    }
    if (loadedRows.size() < 2) {
        csvDiagnostics.refusalReason =
            loadedRows.empty() ? csvtext::kReasonEmpty : csvtext::kReasonNoContacts;
        logOrConsole(text::fill(csvtext::kRefused, csvDiagnostics.refusalReason));
    }
}

void newConvertor::noteStrayBytes(const std::vector<std::size_t>& places) {
    // Enough rows to find them by; a file that is mostly strays says so by the count.
    constexpr std::size_t kRowsShown = 5;
    const std::vector<std::size_t> rows = rowNumbersAt(fileText(), csvDelimiter, places);
    logOrConsole(text::fill(csvtext::kStrayBytes, places.size(), rowList(rows, kRowsLogged)));
    csvDiagnostics.strayBytes = places.size();
    csvDiagnostics.strayBytesNote = text::fill(
        places.size() == 1 ? csvtext::kStrayByteNote : csvtext::kStrayBytesNote, places.size(),
        std::string(rows.size() == 1 ? csvtext::kRow : csvtext::kRows) + rowList(rows, kRowsShown));
}

bool newConvertor::startStep2(const std::map<std::string, std::string>& pairing,
                              ColumnExtras extras) {
    std::vector<IndexPair> pairs;
    std::string unknown;
    for (const auto& [propertyName, headerName] : pairing) {
        // Before a successful step 1 the converter knows no property.
        const auto p =
            vCardPropertyArray.empty() ? std::nullopt : property::positionOf(propertyName);
        const auto c = columnOf(csvHeadersArray, headerName);
        if (!p && !c) {
            continue; // neither name is known: the pair means nothing
        }
        if ((!p || !c) && unknown.empty()) {
            unknown = text::fill("no %@ named '%@'", p ? "column" : "vCard property",
                                 p ? headerName : propertyName);
        }
        if (p && c) {
            pairs.push_back({*p, *c});
        }
    }
    if (!unknown.empty()) {
        logOrConsole(logtext::kStep2Start);
        failStep2(std::invalid_argument(unknown));
        return false;
    }
    return takePairs(std::move(pairs), std::move(extras));
}

bool newConvertor::startStep2(const std::vector<IndexPair>& pairs, ColumnExtras extras) {
    for (const IndexPair& pair : pairs) {
        if (pair.column >= csvHeadersArray.size() || pair.property >= vCardPropertyArray.size()) {
            logOrConsole(logtext::kStep2Start);
            failStep2(std::out_of_range(
                text::fill("no column %d or property %d", pair.column, pair.property)));
            return false;
        }
    }
    return takePairs(pairs, std::move(extras));
}

bool newConvertor::takePairs(std::vector<IndexPair> pairs, ColumnExtras extras) {
    logOrConsole(logtext::kStep2Start);
    try {
        std::map<std::string, std::string> indexMap;
        for (const IndexPair& pair : pairs) {
            indexMap[std::to_string(pair.property)] = std::to_string(pair.column);
        }
        const dates::DateOrder order = birthdayOrderOf(pairs, true);
        mappingDictionary = std::move(indexMap);
        this->indexMap = std::move(pairs);
        columnExtras = std::move(extras);
        birthdayOrder = order;
        logOrConsole(logtext::kStep2End);
        return true;
    } catch (const std::exception& e) {
        failStep2(e);
        return false;
    }
}

void newConvertor::failStep2(const std::exception& e) const {
    const std::string name = text::exceptionName(e);
    logOrConsole(text::fill(logtext::kStep2Exception, name, e.what()));
    console::log(text::fill(logtext::kStep2ConsoleException, name, e.what()));
    logOrConsole(logtext::kStep2End);
}

std::optional<ContactRecord> newConvertor::mapProperties(std::string_view row) const {
    try {
        return mapFields(row, indexMap, csvDelimiter, columnExtras);
    } catch (const std::exception& e) {
        logOrConsole(mapFailureEntry(e));
        return std::nullopt;
    }
}

int newConvertor::gotDestinationPath(const std::string& destination) {
    // Each run gets a folder of its own, also the second run of one converter
    // and a run started in the same second as the one before.
    const std::string name = runFolderName();
    std::error_code ec;
    fileCalls().makeFolders(destination, ec);
    std::string folder = text::fill("%@/%@/", destination, name);
    for (std::int64_t n = 1; !ec && !fileCalls().makeFolder(folder, ec) && !ec; ++n) {
        folder = text::fill("%@/%@(%d)/", destination, name, n);
    }
    vcardOutputFolderPath = folder;
    if (ec || !std::filesystem::is_directory(vcardOutputFolderPath, ec)) {
        const int error = ec ? ec.value() : ENOTDIR;
        console::log(text::fill(logtext::kCreateFolderFailed, vcardOutputFolderPath) + ": " +
                     text::systemReason(error));
        return error;
    }
    return 0;
}

bool newConvertor::startStep3(std::stop_token cancel, const std::string& destination,
                              const ExportOptions& options) {
    return runStep3(std::move(cancel), nullptr, options, destination);
}

bool newConvertor::startStep3(std::stop_token cancel, Destination& destination,
                              const ExportOptions& options) {
    return runStep3(std::move(cancel), &destination, options, {});
}

bool newConvertor::runStep3(std::stop_token cancel, Destination* destination,
                            const ExportOptions& options, const std::string& folder) {
    logOrConsole(logtext::kStep3Start);
    try {
        std::optional<FolderDestination> perContact;
        std::optional<SingleFileDestination> oneFile;
        if (destination == nullptr) {
            RunFolder made{folder, gotDestinationPath(folder)};
            if (options.singleFile) {
                destination = &oneFile.emplace(std::move(made), singleFileName(loadedPath));
            } else {
                destination = &perContact.emplace(std::move(made));
            }
        }
        destination->open();
        if (startConversion(cancel, *destination, options) == RunEnd::Cancelled) {
            return true; // a cancelled run ends the thread at once
        }
    } catch (const std::exception& e) {
        logOrConsole(text::fill(logtext::kStep3Exception, text::exceptionName(e), e.what()));
    }
    logOrConsole(logtext::kStep3End);
    return true;
}

namespace {

// Counts a card's outcome into the report; true when the run stops at it.
bool countOutcome(RunReport& report, Destination::Outcome outcome) {
    using Outcome = Destination::Outcome;
    switch (outcome) {
    case Outcome::Written:
        ++report.written;
        return false;
    case Outcome::AlreadyThere:
        ++report.alreadyThere;
        return false;
    case Outcome::Replaced:
        ++report.replaced;
        return false;
    case Outcome::KeptChanged:
        ++report.keptChanged;
        return false;
    case Outcome::StopNothingKept:
        report.written = 0;
        return true;
    case Outcome::Stop:
        return true;
    case Outcome::NotWritten:
    case Outcome::Pending:
        return false;
    }
    return false;
}

// Takes what close() found into the report.
void countAfterwards(RunReport& report, const Destination::Afterwards& after) {
    report.written = std::max<std::int64_t>(0, report.written - after.writtenNotKept);
    report.replaced = std::max<std::int64_t>(0, report.replaced - after.replacedNotKept);
    report.removed = after.removed;
    report.earlierKept = after.earlierKept;
}

} // namespace

newConvertor::RunEnd newConvertor::startConversion(std::stop_token cancel, Destination& destination,
                                                   const ExportOptions& chosen) {
    RunReport report;
    RunEnd end = RunEnd::Completed;
    // The contact in hand, counted from 1; the row the run stopped at, and why.
    std::int64_t contactNumber = 0;
    std::int64_t stopRow = 0;
    std::string stopReason;
    std::size_t droppedControls = 0;
    RowTally phonesLeft;
    // Cards the destination has not answered yet.
    std::int64_t pending = 0;
    ExportOptions options = chosen;
    options.format = destination.requiredFormat(chosen.format).value_or(chosen.format);
    // The row number of the first contact: the header row is the one before it.
    const auto firstRow = static_cast<std::int64_t>(csvDiagnostics.preambleLinesSkipped) + 2;
    // Counts a card's outcome; a stop keeps the earliest row it happened at.
    const auto settle = [&](std::int64_t rowNumber, Destination::Outcome outcome) {
        if (!countOutcome(report, outcome)) {
            if (sender != nullptr) {
                sender->notify(progressIncrementByValue);
            }
            return;
        }
        // No progress call for the row the run stopped at.
        end = end == RunEnd::Failed ? end : RunEnd::Stopped;
        if (stopRow == 0 || rowNumber < stopRow) {
            stopRow = rowNumber;
            stopReason = destination.stopReason();
        }
    };
    // The cards on their way finish before the run ends, however it ends.
    const auto collect = [&](bool wait) {
        do {
            const auto finished = destination.collect(wait && pending > 0);
            if (wait && finished.empty()) {
                return; // nothing more will come
            }
            for (const auto& card : finished) {
                --pending;
                settle(card.rowNumber, card.outcome);
            }
        } while (wait && pending > 0);
    };
    try {
        std::vector<std::string_view> cutAgain;
        const std::vector<std::string_view>& rows = rowsOfLoadedText(cutAgain);
        report.total = std::max<std::int64_t>(0, static_cast<std::int64_t>(rows.size()) - 1);
        const RowReading reading{csvDelimiter, columnExtras, birthdayOrder};
        std::shared_ptr<RowGroups> people;
        if (options.merge) {
            people = std::make_shared<RowGroups>(findPeople(rows, 1, indexMap, reading, options));
            people->labels = propertyLabels();
        }
        // Records and texts are made ahead; the destination takes them in order here.
        ContactPipeline contacts(rows, 1, indexMap, reading, options, people,
                                 destination.aheadFolder());
        std::int64_t rowNumber = firstRow - 2;
        bool headerSeen = false;
        for (std::size_t index = 0; index < rows.size() && end == RunEnd::Completed; ++index) {
            ++rowNumber;
            if (cancel.stop_requested()) {
                collect(true);
                destination.close();
                countAfterwards(report, destination.afterwards());
                report.folder = destination.where();
                report.cancelled = true;
                logOrConsole(logtext::kCancelled);
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
            ++contactNumber;
            const PreparedContact& contact = contacts.next();
            for (const auto& entry : contact.logEntries) {
                logOrConsole(entry);
            }
            droppedControls += contact.droppedControls;
            if (contact.phonesLeft > 0) {
                phonesLeft.add(contact.phonesLeft, rowNumber);
            }
            if (contact.empty) {
                logOrConsole(text::fill(logtext::kEmptyContact, rowNumber));
            }
            if (contact.shortRow) {
                logOrConsole(text::fill(logtext::kShortRow, rowNumber,
                                        holdsUnclosedQuote(rows[index], csvDelimiter)
                                            ? logtext::kUnclosedQuote
                                            : logtext::kTooFewFields));
            }
            if (contact.merged) {
                ++report.merged;
            } else if (contact.people != nullptr) {
                std::vector<std::int64_t> rowsOfPerson;
                for (const std::size_t member : *contact.people) {
                    rowsOfPerson.push_back(firstRow + static_cast<std::int64_t>(member));
                }
                logOrConsole(text::fill(logtext::kRowsMerged, rowsOfCard(rowsOfPerson)));
            }
            const Destination::Outcome outcome = contact.mapped
                                                     ? destination.deliver(contact, rowNumber)
                                                     : Destination::Outcome::NotWritten;
            if (outcome == Destination::Outcome::Pending) {
                ++pending;
            } else {
                settle(rowNumber, outcome);
            }
            collect(false);
        }
        collect(true);
        if (end == RunEnd::Completed) {
            destination.runCompleted();
        }
    } catch (const std::exception& e) {
        logOrConsole(text::fill(logtext::kConversionException, text::exceptionName(e), e.what()));
        end = RunEnd::Failed;
        stopReason = e.what();
        contactNumber = std::max<std::int64_t>(contactNumber, 1);
        collect(true); // what is on its way is counted as it ends
    }
    if (droppedControls > 0) {
        logOrConsole(droppedControlCharactersEntry(droppedControls));
    }
    if (phonesLeft.count > 0) {
        logOrConsole(
            phonesLeft.entry(logtext::kPhonesLeft, logtext::kPhoneNumber, logtext::kPhoneNumbers));
    }
    destination.close();
    countAfterwards(report, destination.afterwards());
    if (end == RunEnd::Stopped) {
        contactNumber = stopRow - firstRow + 1;
    }
    if (destination.lostFromRow() > 0) {
        // Cards written several at a time: the run stopped at the first one lost.
        end = end == RunEnd::Failed ? end : RunEnd::Stopped;
        stopReason = destination.stopReason();
        contactNumber = destination.lostFromRow() - firstRow + 1;
    }
    if (sender != nullptr) {
        report.folder = destination.where();
        if (end != RunEnd::Completed) {
            report.stopReason = stopReason;
            report.stoppedAt = contactNumber;
        }
        sender->finalNotify(report);
    }
    return end;
}

std::vector<std::string> newConvertor::propertyLabels() const {
    std::vector<std::string> labels(property::kNames.begin(), property::kNames.end());
    for (const IndexPair& pair : indexMap) {
        if (pair.property < labels.size() && pair.column < csvHeadersArray.size()) {
            labels[pair.property] = csvHeadersArray[pair.column];
        }
    }
    return labels;
}

dates::DateOrder newConvertor::birthdayOrderOf(const std::vector<IndexPair>& pairs,
                                               bool log) const {
    const auto birthday = std::find_if(pairs.begin(), pairs.end(), [](const IndexPair& pair) {
        return pair.property == property::Birthday;
    });
    if (birthday == pairs.end()) {
        return dates::DateOrder::MonthFirst;
    }
    const std::size_t column = birthday->column;
    auto found = birthdayOrders.find(column);
    if (found == birthdayOrders.end()) {
        std::vector<std::string> values;
        std::vector<std::string_view> cutAgain;
        const std::vector<std::string_view>& rows = rowsOfLoadedText(cutAgain);
        for (std::size_t i = 1; i < rows.size(); ++i) {
            auto fields = splitString(rows[i], csvDelimiter);
            if (fields && column < fields->size()) {
                values.emplace_back(shapes::unwrapped((*fields)[column]));
            }
        }
        const auto order = dates::detectDateOrder(values, headerDateOrder(csvHeadersArray));
        found = birthdayOrders.emplace(column, order).first;
    }
    const dates::ColumnOrder& order = found->second;
    if (log && order.basis != dates::OrderBasis::NotNeeded) {
        logOrConsole(text::fill(
            logtext::kBirthdayOrder, csvHeadersArray.at(column),
            order.order == dates::DateOrder::DayFirst ? logtext::kDayFirst : logtext::kMonthFirst,
            order.basis == dates::OrderBasis::Values ? logtext::kByValues : logtext::kByLanguage));
    }
    return order.order;
}

std::optional<std::string> newConvertor::previewFirstCard(const std::vector<IndexPair>& pairs,
                                                          const ColumnExtras& extras,
                                                          const ExportOptions& chosen) const {
    if (loadedRows.size() < 2) {
        return std::nullopt;
    }
    try {
        auto record = readContact(loadedRows[1], pairs,
                                  {csvDelimiter, extras, birthdayOrderOf(pairs, false)});
        std::size_t dropped = 0;
        cleanRecord(record, true, chosen, dropped);
        return renderContactCard(record, contactUid(loadedRows[1], 0, chosen, csvDelimiter),
                                 chosen);
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

const std::vector<std::string_view>&
newConvertor::rowsOfLoadedText(std::vector<std::string_view>& cutAgain) const {
    const std::string_view text = fileText();
    if (text.data() == loadedText && text.size() == loadedSize) {
        return loadedRows;
    }
    cutAgain = contactRows(text, csvDelimiter);
    return cutAgain;
}

const std::vector<std::int64_t>& newConvertor::columnValueCounts() const {
    if (!valueCounts && !loadedRows.empty()) {
        std::vector<std::int64_t> counts(csvHeadersArray.size(), 0);
        for (std::size_t i = 1; i < loadedRows.size(); ++i) {
            countFilledFields(loadedRows[i], csvDelimiter, counts);
        }
        valueCounts = std::move(counts);
    }
    static const std::vector<std::int64_t> kNone;
    return valueCounts ? *valueCounts : kNone;
}
