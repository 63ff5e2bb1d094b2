// Every text the window shows or writes to the error log, in one place. Some
// are compared with what a field holds, so they stay exactly as they are.
#pragma once

#include "engine/Text.h"

#include <QLocale>
#include <QString>

#include <cstdint>

#include <string>
#include <string_view>

namespace uitext {

// Prompts a field shows until something is chosen.
inline constexpr std::string_view kSelectCsvFile = "Select CSV File";
inline constexpr std::string_view kSelectDestination = "Select Destination Folder";

// Open panels. The source panel offers files of one type only.
inline constexpr std::string_view kCsvFileType = "csv";
inline constexpr std::string_view kPanelTitle = "Browse: Brenvik Software";
inline constexpr std::string_view kCsvPanelMessage = "Choose CSV file to be Converted to vCard.";
inline constexpr std::string_view kDestinationPanelMessage =
    "Choose target destination folder to save vCards.";

// Alert titles and buttons.
inline constexpr std::string_view kAlert = "Alert";
inline constexpr std::string_view kError = "Error";
inline constexpr std::string_view kStop = "Stop";
inline constexpr std::string_view kConfirmation = "Confirmation";
inline constexpr std::string_view kReport = "Report";
inline constexpr std::string_view kDetailedReport = "Detailed Report";
inline constexpr std::string_view kOk = "Ok";
inline constexpr std::string_view kYes = "Yes";
inline constexpr std::string_view kNo = "No";
inline constexpr std::string_view kDetails = "Details";

// Alert texts.
inline constexpr std::string_view kResetQuestion =
    "This will reset all the mappings that you have done. Do you want to continue?";
inline constexpr std::string_view kNoColumnsLeft = "No columns are remaining for mapping.";
inline constexpr std::string_view kSelectColumns = "Please select columns to be mapped.";
inline constexpr std::string_view kSelectDestinationFirst = "Please select destination folder.";
inline constexpr std::string_view kSelectAddressBookFirst =
    "Please find the address books on the server and choose one.";
inline constexpr std::string_view kCancelQuestion =
    "Are you sure, you want to cancel the export process?";
inline constexpr std::string_view kQuitQuestion = "Do you want to close the application?";
// Open last export folder, when the desktop cannot show the folder.
inline constexpr std::string_view kFolderNotOpened = "The folder could not be opened: %@";

// On standard error when the window has no display to open on.
inline constexpr std::string_view kNoDisplay =
    "olvenmark: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set, nor "
    "QT_QPA_PLATFORM): start it on a virtual display with `xvfb-run make run`, or export "
    "without a window with olvenmark-cli (olvenmark-cli --help).";

// The Help menu's About alert.
inline constexpr std::string_view kVersion = "1.0";
inline constexpr std::string_view kAboutTitle = "About Olvenmark";
inline constexpr std::string_view kAbout =
    "Olvenmark %@\nTurns a CSV file of contacts into vCard files, one .vcf file per contact.";

// Where the export goes, in the Export to list.
inline constexpr std::string_view kExportToFolder = "Folder";
inline constexpr std::string_view kExportToServer = "Address book server";
// What Export vCards does, as a screen reader describes it, for each destination.
inline constexpr std::string_view kExportToFolderDescription =
    "Write one vCard per contact into a new folder inside the destination";
inline constexpr std::string_view kExportToServerDescription =
    "Upload one vCard per contact into the address book chosen; cards already there stay as "
    "they are";
// The line beside Find address books.
inline constexpr std::string_view kFindingAddressBooks = "Looking for address books…";
inline constexpr std::string_view kAddressBook = "%d address book";
inline constexpr std::string_view kAddressBooks = "%d address books";
inline constexpr std::string_view kAddressBooksFound = "%@ found";
// Remember password is ticked but the desktop's keyring cannot be used.
inline constexpr std::string_view kKeyringUnavailable =
    "The desktop's keyring cannot be used (%@): the password is not remembered.";
// The keyring has not answered for a while: it may be asking the user something.
inline constexpr std::string_view kKeyringWaiting =
    "Waiting for the desktop's keyring: answer its prompt, if one is open.";
// The open panel of the server's certificate file, and the endings it offers.
inline constexpr std::string_view kCaFileTypes = "pem crt cer";
inline constexpr std::string_view kCaPanelMessage =
    "Choose the server's self-signed certificate, or the one it is signed with (a PEM file).";

// Labels during and after a run.
inline constexpr std::string_view kProgress = "Progress: %d %%";
inline constexpr std::string_view kStatus = "Status: %d/%d";
// What the count label shows after a reset: one blank.
inline constexpr std::string_view kNoCount = " ";
inline constexpr std::string_view kCancelledStatus =
    "Migration cancelled \n%d file(s) migrated successfully.";
inline constexpr std::string_view kSummary = "%@ Contact(s) migrated successfully.";
// The summary of an upload: uploaded, already in the address book.
inline constexpr std::string_view kUploadSummary =
    "%@ Contact(s) uploaded, %@ already in the address book.";
// Above the summary of a run that stopped on an error: the contact it
// stopped at, the contacts, and why.
inline constexpr std::string_view kExportStopped = "The export stopped at contact %@ of %@: %@.";
inline constexpr std::string_view kUploadStopped = "The upload stopped at contact %@ of %@: %@.";
// Below the summary of a run that stopped or was cancelled: what it left undone.
inline constexpr std::string_view kNotMigrated = "%@ of %@ contacts were not migrated.";
inline constexpr std::string_view kNotUploaded = "%@ of %@ contacts were not uploaded.";
// In the detailed report, in place of the run folder's line when no folder was made.
// The identity column list's entry for UIDs made from each row.
inline constexpr std::string_view kNoIdColumn = "None (each row's own UID)";
// The phone region list's entry before a region is chosen.
inline constexpr std::string_view kChooseRegion = "Choose a region";
inline constexpr std::string_view kNoFolderMade = "\nNo folder was made for the vCards.";
// The count in the summary as the report's second line has it after its colon.
inline constexpr std::string_view kSummaryCount = " %d";
inline constexpr std::string_view kMappingFailed = "ERROR: while mapping properties";
// Below the detailed report when the file had rows wider than its header.
inline constexpr std::string_view kWideRows =
    "Rows with more fields than the header row: %d (a wrong delimiter?)";

// The file's summary after loading: contacts, columns, encoding, delimiter;
// each count has its one and its many.
inline constexpr std::string_view kFileSummary = "%@, %@ (%@, %@ between fields)";
// A count as the user's locale writes it: "12,345" in English.
inline std::string number(std::int64_t n) {
    return QLocale().toString(static_cast<qlonglong>(n)).toStdString();
}
// A count in the singular for one, else in the plural.
inline std::string counted(std::size_t n, std::string_view one, std::string_view many) {
    return text::fill(n == 1 ? one : many, number(static_cast<std::int64_t>(n)));
}

inline constexpr std::string_view kContact = "%d contact";
inline constexpr std::string_view kContacts = "%d contacts";
inline constexpr std::string_view kColumn = "%d column";
inline constexpr std::string_view kColumns = "%d columns";
inline constexpr std::string_view kPreambleLineSkipped = "; %d line above the header left out";
inline constexpr std::string_view kPreambleSkipped = "; %d lines above the header left out";
inline constexpr std::string_view kWideRowFound =
    "; %d row has more fields than the header: a wrong delimiter?";
inline constexpr std::string_view kWideRowsFound =
    "; %d rows have more fields than the header: a wrong delimiter?";
inline constexpr std::string_view kShortRowFound = "; %d row has fewer fields than the header";
inline constexpr std::string_view kShortRowsFound = "; %d rows have fewer fields than the header";
inline constexpr std::string_view kFooterLineSkipped = "; %d line below the contacts left out";
inline constexpr std::string_view kFooterSkipped = "; %d lines below the contacts left out";

// The reading choices beside the CSV file: a label and the word the engine
// and the settings know the choice by. The first of each finds it out; the
// file's summary names a delimiter by its label in small letters.
struct ReadingChoice {
    std::string_view label;
    std::string_view word;
};
inline constexpr ReadingChoice kEncodingChoices[] = {{"Automatic", "auto"},
                                                     {"UTF-8", "utf-8"},
                                                     {"UTF-16", "utf-16"},
                                                     {"Windows-1252", "windows-1252"}};
inline constexpr ReadingChoice kDelimiterChoices[] = {{"Automatic", "auto"},
                                                      {"Comma", ","},
                                                      {"Semicolon", ";"},
                                                      {"Tab", "tab"},
                                                      {"Vertical bar", "|"}};
// The pairing group's line: the hint, and what checking the pairs found.
inline constexpr std::string_view kPairingHint =
    "Pick a CSV column and a vCard property, then add the pair.";
inline constexpr std::string_view kNoPairsToCheck =
    "Nothing to check yet: pair at least one column with a vCard property.";
// Below the pairs: the columns whose values the cards leave out, or keep in the note.
inline constexpr std::string_view kUnpairedColumn = "%@ (%@)";
inline constexpr std::string_view kValue = "%d value";
inline constexpr std::string_view kValues = "%d values";
inline constexpr std::string_view kUnpairedLeftOut = "Not in the cards: %@.";
inline constexpr std::string_view kUnpairedKept = "In the note of each card: %@.";
inline constexpr std::string_view kPairsChecked = "%@ checked: ready to export.";
inline constexpr std::string_view kPairsAndCarriedChecked = "%@ and %@ checked: ready to export.";
inline constexpr std::string_view kPair = "%d pair";
inline constexpr std::string_view kPairs = "%d pairs";
inline constexpr std::string_view kFurtherColumn = "%d further column";
inline constexpr std::string_view kFurtherColumns = "%d further columns";
// Remove pair with no row of the pair table chosen.
inline constexpr std::string_view kChoosePairToRemove = "Choose a pair to remove.";
// The question after loading a file whose header row was exported before.
inline constexpr std::string_view kPairsFromLastTime = "Pairs from last time";
inline constexpr std::string_view kUsePairsFromLastTime =
    "The columns of this file were paired before. Use the pairs from last time?";
inline constexpr std::string_view kSomePairsNotUsed = "Some pairs could not be made again: %@.";
inline constexpr std::string_view kPairsUnusable =
    "These pairs cannot be used: a column or a property is not in the file any more.";
// Below the report of a cancelled run, before what it left undone.
inline constexpr std::string_view kExportCancelled = "The export was cancelled: %@";
inline constexpr std::string_view kUploadCancelled = "The upload was cancelled: %@";
// Below the quit question while an export runs.
inline constexpr std::string_view kQuitDuringExport =
    "The export will stop after the contact in hand.";

// Error-log entries of the window.
inline constexpr std::string_view kStartApplication = "UI>> Start Application";
inline constexpr std::string_view kInitFallback = "UI(init) Error while writing to log file";
inline constexpr std::string_view kStep1Start = "Info: UI Start: STEP 1\nSelected CSV File Name:%@";
inline constexpr std::string_view kStep1Error = "UI>> ERROR\nOccured in startStep1(): %@";
inline constexpr std::string_view kStep1End = "INFO:UI End: STEP 1";
inline constexpr std::string_view kStep2Start = "Info: UI Start: STEP 2";
inline constexpr std::string_view kStep2End = "INFO:UI End: STEP 2";
inline constexpr std::string_view kImportStart = "Info: UI Start: Import";
inline constexpr std::string_view kBusinessLogicStarted = "Info: UI Business Logic Started:";
inline constexpr std::string_view kCancelEntry = "Info: UI Start: %@";
inline constexpr std::string_view kReportEntry = "UI >> Export Report:\n%@\n";
inline constexpr std::string_view kReportFallback =
    "UI(final Notify) Error while writing to log file";

// Failures caught inside a window action: filled with the exception's name and reason.
inline constexpr std::string_view kResetException =
    "UI>> EXCEPTION\nOccured in resetAll()\nname: %@\nReason: %@";
inline constexpr std::string_view kBrowseException =
    "UI>> EXCEPTION\nOccured in btnBrowseClicked()\nname: %@\nReason: %@";
inline constexpr std::string_view kOpenPanelException =
    "UI>> EXCEPTION\nOccured in openFileDialog()\nname: %@\nReason: %@";
inline constexpr std::string_view kStep1Exception =
    "UI>> EXCEPTION\nOccured in startStep1()\nname: %@\nReason: %@";
inline constexpr std::string_view kAddPairException =
    "UI>> EXCEPTION\nOccured in  btnAddMappingAttribute:()\nname: %@\nReason: %@";
inline constexpr std::string_view kRemovePairException =
    "UI>> EXCEPTION\nOccured in btnRemoveMappingCliked()\nname: %@\nReason: %@";
inline constexpr std::string_view kRemovePairConsoleException =
    "EXCEPTION\nOccured in UI btnRemoveMappingCliked()\nname: %@\nReason: %@";
inline constexpr std::string_view kMapAllException =
    "UI>> EXCEPTION\nOccured in mapAllCkeckBox()\nname: %@\nReason: %@";
inline constexpr std::string_view kMapAllConsoleException =
    "EXCEPTION\nOccured in UI mapAllCkeckBox()\nname: %@\nReason: %@";
inline constexpr std::string_view kPairByNamesException =
    "UI>> EXCEPTION\nOccured in btnPairByNamesClicked()\nname: %@\nReason: %@";
inline constexpr std::string_view kStep2Exception =
    "UI>> EXCEPTION\nOccured in btnStartStep2()\nname: %@\nReason: %@";
inline constexpr std::string_view kDestinationException =
    "UI>> EXCEPTION\nOccured in btnBrowseDestinationPathCliked()\nname: %@\nReason: %@";
inline constexpr std::string_view kImportException =
    "UI>> EXCEPTION\nOccured in btnImportCliked()\nname: %@\nReason: %@";
inline constexpr std::string_view kStep3Exception =
    "UI>> EXCEPTION\nOccured in startStep3_Import:()\nname: %@\nReason: %@";
inline constexpr std::string_view kCancelException =
    "UI>> EXCEPTION\nOccured in btnCancelCliked()\nname: %@\nReason: %@";

// A text of this table, or any engine text, as Qt shows it.
inline QString q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace uitext
