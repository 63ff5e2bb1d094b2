// The command line of olvenmark-cli, parsed and checked before any work.
#pragma once

#include "engine/ExportOptions.h"
#include "engine/read/CsvLoad.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct CommandLine {
    // Pair the remaining header names with the remaining properties by position.
    bool mapAll = false;
    // Pair the columns whose names common exports use, after the --map pairs.
    bool mapAuto = false;
    // The encoding and delimiter to read the CSV with.
    CsvLoadOptions loadOptions;
    // The --map pairs in the order given: property name, header name.
    std::vector<std::pair<std::string, std::string>> maps;
    // A pairs file to pair with before the --map pairs (--pairs), and the
    // file the pairs the run uses are written to (--save-pairs).
    std::string pairsFile;
    std::string savePairsFile;
    std::string csvPath;
    std::string destination;
    // An upload instead of a folder: the server or address book URL (--carddav),
    // the user, the address book's name and a CA file to trust.
    std::string carddavUrl;
    std::string user;
    std::string addressBook;
    std::string caFile;
    // Requests in flight at once (--connections N), and whether the cards an
    // earlier upload of the file put there and this one no longer makes go.
    int connections = 4;
    bool replacePrevious = false;
    // The column whose value makes each card's UID (--id-column HEADER).
    std::string idColumn;
    // How the cards are written (--format, or --strict).
    CardFormat format = CardFormat::Classic;
    // Every card in one .vcf named after the CSV.
    bool singleFile = false;
    // Write the values of the columns no pair takes into each card's note.
    bool keepUnpaired = false;
    // Telephone numbers in international form, those without a country read as
    // numbers of this region (an upper-case ISO 3166 code); empty: as written.
    std::string phoneRegion;
    // One card per person.
    bool merge = false;
    bool help = false;
    bool version = false;
};

// The parsed command line, or a one-line error naming the problem.
struct ParseResult {
    std::optional<CommandLine> line;
    std::string error;
};

ParseResult parseCommandLine(const std::vector<std::string>& arguments);

// The usage text printed by --help.
std::string usageText();

class ExportSession;

// Makes the pairs the options ask for in a loaded session: those of the
// --pairs file, the --map pairs in order, then with --map-auto the columns
// known by name, then with --map-all the remaining columns by position. An
// empty text, or a one-line error: a pairs file that cannot be read or does not
// fit, a header name not in the row, a column paired twice, or no pair at all.
std::string applyPairs(const CommandLine& line, ExportSession& session);

// Writes the session's pairs into the --save-pairs file; an empty text, or a
// one-line error.
std::string savePairs(const CommandLine& line, const ExportSession& session);

// The one line that names the columns whose values are not in the cards, with
// their counts; empty when there are none or they were kept in the note.
std::string unpairedLine(const CommandLine& line, const ExportSession& session);
