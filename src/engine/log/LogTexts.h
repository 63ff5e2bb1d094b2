// Every text the engine and the error log write, in one place. The entries of
// the error log and the console are read by people and by support scripts, so
// they stay exactly as they are, misspellings included.
#pragma once

#include <string_view>

namespace logtext {

// Failures caught inside an engine operation: filled with the exception's name
// and reason.
inline constexpr std::string_view kStep1Exception =
    "EXCEPTION\nOccured in startStep1()\n\nname: %@\nReason: %@";
inline constexpr std::string_view kStep2Exception =
    "EXCEPTION\nOccured in startStep2()\n\nname: %@\nReason: %@";
// The same failure as the console gets it, without the blank line.
inline constexpr std::string_view kStep2ConsoleException =
    "EXCEPTION\nOccured in startStep2()\nname: %@\nReason: %@";
inline constexpr std::string_view kStep3Exception =
    "EXCEPTION\nOccured in startStep3()\n\nname: %@\nReason: %@";
inline constexpr std::string_view kConversionException =
    "EXCEPTION\nOccured in startConversion()\n\nname: %@\nReason: %@";
inline constexpr std::string_view kCsvReadException =
    "EXCEPTION\nOccured in getCsvFileData()\n\nname: %@\nReason: %@";
inline constexpr std::string_view kCsvCleanException =
    "EXCEPTION\nOccured in ConvertQuillane()\n\nname: %@\nReason: %@";
inline constexpr std::string_view kMapException =
    "EXCEPTION\nOccured in mapProperties()\n\nname: %@\nReason: %@";
inline constexpr std::string_view kVCardException =
    "EXCEPTION\nOccured in vCardRepresentation()\nname: %@\nReason: %@";
inline constexpr std::string_view kNamingException =
    "EXCEPTION\nOccured in generateVCardFileName()\nname: %@\nReason: %@";
inline constexpr std::string_view kLogFolderException =
    "EXCEPTION\nOccured in createFolder()\nname: %@\nReason: %@";
inline constexpr std::string_view kLogFileException =
    "EXCEPTION\nOccured in createFile()\nname: %@\nReason: %@";
inline constexpr std::string_view kLogWriteException =
    "EXCEPTION\nOccured in addMessage()\nname: %@\nReason: %@";

// Steps of a converter's life.
inline constexpr std::string_view kStartApplication = "Start Application";
inline constexpr std::string_view kEndApplication = "End Application";
inline constexpr std::string_view kStep1Start = "Info: Start: STEP 1";
inline constexpr std::string_view kStep1End = "INFO: End: STEP 1";
inline constexpr std::string_view kStep2Start = "Info: Start: STEP 2";
inline constexpr std::string_view kStep2End = "INFO: End: STEP 2";
inline constexpr std::string_view kStep3Start = "Info: Start: STEP 3";
inline constexpr std::string_view kStep3End = "INFO: End: STEP 3";
inline constexpr std::string_view kCancelled = "Info: Migration cancelled";

// A contact whose name gave no file; filled with its row number.
inline constexpr std::string_view kInvalidName =
    "Failed to create vCard for contact in CSV, Row number: [%d]:\nInvalid First Name or Middle "
    "Name or Last Name.\nTry using a name with fewer characters, or with no punctuation marks.";

// Failures of files and folders; filled with the path.
inline constexpr std::string_view kCreateFolderFailed = "Error: Create folder failed %@";
inline constexpr std::string_view kCreateFileFailed =
    "Error: Occured in createFile()\nFailed to create file%@";
inline constexpr std::string_view kOpenCsvFailed = "Failed to open file";
// A card that could not be added to the run's single file; row, path, reason.
inline constexpr std::string_view kSingleFileWriteFailed =
    "Error: Failed to write the vCard of row [%d] to %@: %@";
// Why a run stopped before its last contact: the row and the reason.
inline constexpr std::string_view kEmptyContact =
    "Error: Row [%d] not written: it has no value in any paired column";
// A row without the fields its pairs need, and why: row, reason.
inline constexpr std::string_view kShortRow = "Error: Row [%d] not written: %@";
inline constexpr std::string_view kUnclosedQuote =
    "it has an unclosed quote, which takes the rest of its line into one field";
inline constexpr std::string_view kTooFewFields = "it holds fewer fields than its pairs need";
inline constexpr std::string_view kRunStopped = "Error: Run stopped at row [%d]: %@";
inline constexpr std::string_view kStopNoRunFolder = "no run folder could be made in %@: %@";
inline constexpr std::string_view kStopFolderGone = "the run folder %@ is not there any more";
inline constexpr std::string_view kStopNotWritten = "its vCard could not be written";
inline constexpr std::string_view kStopNoCard = "its vCard could not be made";
inline constexpr std::string_view kStopNoFile = "the file %@ could not be created: %@";
// The run's single file could not be closed, so its cards may be lost; path, reason.
inline constexpr std::string_view kSingleFileCloseFailed = "Error: Failed to finish writing %@: %@";
// Telephone numbers not in international form: how many, and their rows.
inline constexpr std::string_view kPhonesLeft = "Info: %d telephone %@ left as written (%@ %@)";
inline constexpr std::string_view kPhoneNumber = "number";
inline constexpr std::string_view kPhoneNumbers = "numbers";
inline constexpr std::string_view kRow = "row";
inline constexpr std::string_view kRows = "rows";
// The rows of one person written as one card: "3, 7 and 12".
inline constexpr std::string_view kRowsMerged = "Info: Rows %@ are one person: one card";
// How many control characters the run dropped from values.
inline constexpr std::string_view kControlCharactersDropped =
    "Info: %d control characters (NUL and others) dropped from values";

// The error log's own failures: its alerts and console lines.
inline constexpr std::string_view kLogAlertTitle = "ERROR";
inline constexpr std::string_view kLogAlertButton = "OK";
inline constexpr std::string_view kLogFileFailed = "Failed to create file:%@";
inline constexpr std::string_view kLogFileFailedWithReason =
    "Failed to create file:\nName: %@\nReason: %@";
// Said once when entries cannot be written: the log's path and why.
inline constexpr std::string_view kLogUnwritable =
    "Error: the error log %@ cannot be written (%@); going on without it";
inline constexpr std::string_view kLogWithoutHome =
    "Error: no error log is kept: the user's home folder is not known";

// What goes to the console when an entry could not be written to the log.
inline constexpr std::string_view kLogWriteFallback = "Error while writing to log file";
inline constexpr std::string_view kInitFallback = "(init) Error while writing to log file";
inline constexpr std::string_view kDeallocFallback = "(dealloc) Error while writing to log file";

// The four lines of a run report.
inline constexpr std::string_view kReportTotal = "Total Contacts\t";
inline constexpr std::string_view kReportCancelledTotal = "Migration canceled.\nTotal Contacts\t";
inline constexpr std::string_view kReportWritten = "Successful\t\t";
inline constexpr std::string_view kReportFailed = "Failed\t\t";
inline constexpr std::string_view kReportFolder = "\nvCards can be found at path";
// A fifth line when rows of one person became one card: rows, contacts, rows merged.
inline constexpr std::string_view kReportMerged = "%@ rows, %@ contacts: %@ %@ merged";

// Pairing by column names: for each column what decided it and what became of
// it (column, what decided, the line or property); how many typed value
// groups follow their row's label; before a run, each column whose values
// are not in the cards or go into the note (column, count).
inline constexpr std::string_view kColumnPaired = "Info: Column '%@': %@; paired as %@ (%@)";
inline constexpr std::string_view kColumnCarried =
    "Info: Column '%@': %@; each value becomes one more %@ line";
inline constexpr std::string_view kColumnToNote =
    "Info: Column '%@': %@; each value goes into the note";
inline constexpr std::string_view kColumnLeftOut = "Info: Column '%@': %@; left out";
inline constexpr std::string_view kColumnJoined = "Info: Column '%@': %@; joined to '%@'";
inline constexpr std::string_view kAddressInParts =
    "Info: Column '%@' not paired: the same address is paired in parts";
// What decided a column, as the log and the pair table say it.
inline constexpr std::string_view kBasisName = "its name";
inline constexpr std::string_view kBasisKnownName = "its name, as a known export writes it";
inline constexpr std::string_view kBasisEmails = "its values are e-mail addresses";
inline constexpr std::string_view kBasisWebAddresses = "its values are web addresses";
inline constexpr std::string_view kBasisPhones = "its values are telephone numbers";
inline constexpr std::string_view kBasisDates = "its values are dates";
inline constexpr std::string_view kBasisTimeStamps = "its values are time stamps";
inline constexpr std::string_view kBasisFlags = "its values are yes or no";
inline constexpr std::string_view kBasisHonorifics = "its values are honorifics";
inline constexpr std::string_view kBasisJobTitles = "its values are job titles";
inline constexpr std::string_view kBasisWholeNames = "its values are whole names";
inline constexpr std::string_view kBasisCountries = "its values are countries";
inline constexpr std::string_view kBasisNoCountries = "its values are no countries";
inline constexpr std::string_view kBasisNoRecordNumbers = "its values are no record numbers";
inline constexpr std::string_view kBasisDays = "its values are days of a month";
inline constexpr std::string_view kBasisNoEmails = "its values are no e-mail addresses";
inline constexpr std::string_view kBasisNoWebAddresses = "its values are no web addresses";
inline constexpr std::string_view kBasisNoPhones = "its values are no telephone numbers";
inline constexpr std::string_view kBasisUnknown = "neither its name nor its values tell";
inline constexpr std::string_view kBasisPlace = "its name and its place beside '%@'";
// What a paired column holds, by the kind of its property.
inline constexpr std::string_view kKindWords[] = {
    "name",   "organisation", "job title", "address", "telephone",
    "e-mail", "web page",     "birthday",  "note",    "categories"};
// What a carried column's values become, as the pair table shows it.
inline constexpr std::string_view kTypedByLabel = "%@, typed by each row's label";
inline constexpr std::string_view kIntoTheNote = "the note";
inline constexpr std::string_view kJoinedTo = "joined to '%@'";
inline constexpr std::string_view kUnpairedLeftOut =
    "Info: Column '%@' not paired (values: %d): they are not in the cards";
inline constexpr std::string_view kUnpairedKept =
    "Info: Column '%@' not paired (values: %d): they go into the note";
inline constexpr std::string_view kTypedGroupsUsed =
    "Info: %d typed value groups: each value takes the type its row's label gives";

// The order a birthday column's dates are read in: column, order, what decided.
inline constexpr std::string_view kBirthdayOrder = "Info: Birthday column '%@' read as %@ (%@)";
inline constexpr std::string_view kDayFirst = "day/month/year";
inline constexpr std::string_view kMonthFirst = "month/day/year";
inline constexpr std::string_view kByValues = "from its values";
inline constexpr std::string_view kByLanguage = "from the header's language";

// What a shell says of a file it cannot use; filled with the file's name.
inline constexpr std::string_view kInvalidCsv = "Invalid CSV file %@.";

} // namespace logtext
