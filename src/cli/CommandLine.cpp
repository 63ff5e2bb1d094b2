#include "cli/CommandLine.h"

#include "carddav/HttpClient.h"

#include "engine/ExportSession.h"
#include "engine/PairsFile.h"
#include "engine/Text.h"
#include "engine/pair/Properties.h"
#include "engine/read/CsvLoad.h"
#include "phone/InternationalNumbers.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>
#include <span>
#include <sstream>

namespace {

bool isProperty(const std::string& name) {
    return property::positionOf(name).has_value();
}

ParseResult failure(std::string error) {
    return {std::nullopt, std::move(error)};
}

// The value of `--name VALUE` or `--name=VALUE` at arguments[i] (moving i past
// a separate value); none when the argument is another option. A missing
// value reads as empty.
std::optional<std::string> optionValue(const std::vector<std::string>& arguments, std::size_t& i,
                                       std::string_view name) {
    const std::string& arg = arguments[i];
    if (arg == name) {
        return i + 1 < arguments.size() ? arguments[++i] : std::string();
    }
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=') {
        return arg.substr(name.size() + 1);
    }
    return std::nullopt;
}

// The format words joined, the last two by `last`: "classic|strict", "classic or strict".
std::string formatWords(std::string_view separator, std::string_view last) {
    std::string words;
    for (const auto& info : kCardFormats) {
        if (!words.empty()) {
            words += &info == &kCardFormats.back() ? last : separator;
        }
        words += info.word;
    }
    return words;
}

// The upload options belong together: a URL and a user, one CSV, no folder options.
std::string checkUpload(const CommandLine& line, std::size_t positional) {
    if (line.carddavUrl.empty()) {
        if (!line.idColumn.empty() && line.format == CardFormat::Classic) {
            return "--id-column makes each card's UID: it goes with --strict or --carddav";
        }
        return line.user.empty() && line.addressBook.empty() && line.caFile.empty() &&
                       !line.replacePrevious && line.connections == CommandLine{}.connections
                   ? std::string()
                   : "--user, --address-book, --ca-file, --connections and --replace-previous "
                     "go with --carddav URL";
    }
    if (line.user.empty()) {
        return "--carddav needs --user NAME";
    }
    if (line.singleFile) {
        return "--single-file writes a file; an upload sends one card per contact";
    }
    if (positional != 1) {
        return "with --carddav give one CSV and no DESTINATION";
    }
    return {};
}

} // namespace

std::string usageText() {
    std::string text =
        "Usage: olvenmark-cli [--pairs FILE] [--map PROPERTY=HEADER]... [--map-auto]\n"
        "                     [--map-all] [--save-pairs FILE]\n"
        "                     [--encoding ENC] [--delimiter DELIM]\n"
        "                     [--format " +
        formatWords("|", "|") +
        "] [--strict]\n"
        "                     [--single-file] [--keep-unpaired] [--phone-region CC]\n"
        "                     [--merge] CSV DESTINATION\n"
        "       olvenmark-cli [--pairs FILE] [--map ...] [--encoding ENC] [--delimiter DELIM]\n"
        "                     --carddav URL --user NAME [--address-book NAME]\n"
        "                     [--ca-file FILE] [--connections N] [--replace-previous]\n"
        "                     [--id-column HEADER] CSV\n"
        "\n"
        "Writes one vCard file per contact of CSV into a new folder\n"
        "Olvenmark___dd_MM_yy__HH_mm_ss inside DESTINATION, and prints the report.\n"
        "With --carddav, uploads each contact's strict card (a 4.0 card with --format 4.0\n"
        "where the address book says it stores them) to an address book on a\n"
        "CardDAV server instead; cards already there are left as they are.\n"
        "\n"
        "Options:\n"
        "  --map PROPERTY=HEADER  pair a vCard property with a column, named exactly as in\n"
        "                         the header row; may be given many times\n"
        "  --pairs FILE           first pair as FILE says: one PROPERTY=HEADER a line, as\n"
        "                         --map takes it, typed=, carried= and joined= lines for\n"
        "                         the rows --map-auto adds, and any of them behind '-'\n"
        "                         for what --map-auto is to leave out\n"
        "  --save-pairs FILE      write the pairs the run uses into FILE, for --pairs\n"
        "  --map-auto             then pair every column whose name (in English, German,\n"
        "                         French, Spanish, Italian, Dutch or Portuguese) or\n"
        "                         values tell what it holds; a column whose property is\n"
        "                         taken adds further lines of its kind to the cards;\n"
        "                         Google's typed values take their own row's type\n"
        "  --map-all              pair the remaining columns with the remaining properties\n"
        "                         in order (FirstName, LastName, MiddleName, ...), up to\n"
        "                         EmailAddressOther\n"
        "  --encoding ENC         auto (default), utf-8, utf-16 or windows-1252\n"
        "  --delimiter DELIM      auto (default), ',', ';', tab or '|'\n"
        "  --format FORMAT        how the cards are written, one of:\n";
    for (const auto& info : kCardFormats) {
        text += "                           " + std::string(info.word);
        text += std::string(9 - std::min<std::size_t>(info.word.size(), 8), ' ');
        text += std::string(info.label) +
                (info.format == ExportOptions{}.format ? " (default)\n" : "\n");
    }
    text += "  --strict               the same as --format strict: CR LF line ends,\n"
            "                         BEGIN:VCARD, folded long lines, FN, N and a UID on each\n"
            "  --single-file          write every card, in row order, into one file named\n"
            "                         after CSV (contacts.csv -> contacts.vcf)\n"
            "  --keep-unpaired        write each value of a column no pair takes into the\n"
            "                         card's note as 'Column: value'\n"
            "  --phone-region CC      write telephone numbers in international form\n"
            "                         (+49 171 1234567), reading those without a country\n"
            "                         as numbers of the country CC (DE, GB, US ...); the\n"
            "                         numbers that are no valid ones are kept as written\n"
            "                         and counted in the error log\n"
            "  --merge                one card per person: rows that share an e-mail\n"
            "                         address, or that have the same name and share a\n"
            "                         telephone number, become one card with all their\n"
            "                         values\n"
            "  --carddav URL          upload to the address book at URL, or to one of the\n"
            "                         user's address books on the server at URL; https, or\n"
            "                         http to this computer only\n"
            "  --user NAME            the user name on the server; the password comes from\n"
            "                         OLVENMARK_CARDDAV_PASSWORD or is asked on the terminal\n"
            "  --address-book NAME    the address book by its name or the last part of its\n"
            "                         URL; needed when the user has more than one\n"
            "  --ca-file FILE         trust the certificates in FILE (a self-signed server)\n"
            "  --connections N        requests in flight at once, 1 to 16 (default 4): HTTP/2\n"
            "                         streams where the server offers it, else connections\n"
            "  --replace-previous     also remove the cards the last upload of CSV put into\n"
            "                         the address book that this one no longer makes, and\n"
            "                         replace those it makes with other content; a card\n"
            "                         changed on the server since is kept\n"
            "  --id-column HEADER     make each card's UID from the column's value (a CRM's\n"
            "                         record id) instead of the whole row, so that an edited\n"
            "                         row replaces its card on the next upload\n"
            "  --help                 print this text and exit\n"
            "  --version              print the version and exit\n"
            "\n"
            "Exit status: 0 every contact written (or already in the address book), 1 some\n"
            "not written, 2 unusable input or server, 130, 143 or 129 cancelled by Ctrl-C,\n"
            "a kill (SIGTERM) or a closed terminal (SIGHUP).\n"
            "\n"
            "vCard properties:\n";
    for (std::size_t i = 0; i < property::kNames.size(); ++i) {
        text += (i % 3 == 0 ? "  " : "") + std::string(property::kNames[i]);
        text += i % 3 == 2 ? "\n" : std::string(28 - property::kNames[i].size(), ' ');
    }
    return text;
}

ParseResult parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--version") {
            line.version = true;
        } else if (arg == "--strict") {
            line.format = CardFormat::Strict;
        } else if (arg == "--single-file") {
            line.singleFile = true;
        } else if (arg == "--map-all") {
            line.mapAll = true;
        } else if (arg == "--map-auto") {
            line.mapAuto = true;
        } else if (arg == "--keep-unpaired") {
            line.keepUnpaired = true;
        } else if (arg == "--merge") {
            line.merge = true;
        } else if (const auto value = optionValue(arguments, i, "--phone-region")) {
            const auto region = phone::knownRegion(*value);
            if (!region) {
                return failure(text::fill(
                    "--phone-region takes a country code such as DE, GB or US, not '%@'", *value));
            }
            line.phoneRegion = *region;
        } else if (const auto value = optionValue(arguments, i, "--encoding")) {
            const auto choice = value->empty() ? std::nullopt : parseEncodingChoice(*value);
            if (!choice) {
                return failure(text::fill(
                    "--encoding takes auto, utf-8, utf-16 or windows-1252, not '%@'", *value));
            }
            line.loadOptions.encoding = *choice;
        } else if (const auto value = optionValue(arguments, i, "--delimiter")) {
            const auto choice = value->empty() ? std::nullopt : parseDelimiterChoice(*value);
            if (!choice) {
                return failure(
                    text::fill("--delimiter takes auto, ',', ';', tab or '|', not '%@'", *value));
            }
            line.loadOptions.delimiter = *choice;
        } else if (const auto value = optionValue(arguments, i, "--format")) {
            const auto format = parseCardFormat(*value);
            if (!format) {
                return failure(
                    text::fill("--format takes %@, not '%@'", formatWords(", ", " or "), *value));
            }
            line.format = *format;
        } else if (const auto value = optionValue(arguments, i, "--carddav")) {
            line.carddavUrl = *value;
        } else if (const auto value = optionValue(arguments, i, "--user")) {
            line.user = *value;
        } else if (const auto value = optionValue(arguments, i, "--address-book")) {
            line.addressBook = *value;
        } else if (const auto value = optionValue(arguments, i, "--ca-file")) {
            line.caFile = *value;
        } else if (arg == "--replace-previous") {
            line.replacePrevious = true;
        } else if (const auto value = optionValue(arguments, i, "--id-column")) {
            if (value->empty()) {
                return failure("--id-column takes the name of a column");
            }
            line.idColumn = *value;
        } else if (const auto value = optionValue(arguments, i, "--connections")) {
            const bool digits = !value->empty() && value->size() <= 2 &&
                                value->find_first_not_of("0123456789") == std::string::npos;
            const int n = digits ? std::stoi(*value) : 0;
            if (n < 1 || n > carddav::kMaxConnections) {
                return failure(text::fill("--connections takes 1 to %d, not '%@'",
                                          carddav::kMaxConnections, *value));
            }
            line.connections = n;
        } else if (const auto value = optionValue(arguments, i, "--pairs")) {
            line.pairsFile = *value;
        } else if (const auto value = optionValue(arguments, i, "--save-pairs")) {
            line.savePairsFile = *value;
        } else if (const auto value = optionValue(arguments, i, "--map")) {
            const auto equals = value->find('=');
            if (equals == std::string::npos) {
                return failure(text::fill("--map takes PROPERTY=HEADER, not '%@'", *value));
            }
            line.maps.emplace_back(value->substr(0, equals), value->substr(equals + 1));
        } else {
            return failure(text::fill("unknown option '%@'", arg));
        }
    }
    if (line.help || line.version) {
        return {line, {}};
    }
    if (const std::string error = checkUpload(line, positional.size()); !error.empty()) {
        return failure(error);
    }
    if (line.carddavUrl.empty() && positional.size() != 2) {
        return failure(positional.size() < 2
                           ? "CSV and DESTINATION are needed"
                           : "too many arguments: give one CSV and one DESTINATION");
    }
    line.csvPath = positional[0];
    line.destination = line.carddavUrl.empty() ? positional[1] : std::string();
    std::set<std::string> seen;
    for (const auto& [propertyName, header] : line.maps) {
        if (!isProperty(propertyName)) {
            return failure(
                text::fill("unknown vCard property '%@' (--help lists them)", propertyName));
        }
        if (!seen.insert(propertyName).second) {
            return failure(text::fill("vCard property '%@' is paired twice", propertyName));
        }
    }
    if (line.maps.empty() && !line.mapAll && !line.mapAuto && line.pairsFile.empty()) {
        return failure(
            "no pair: give --pairs FILE, --map PROPERTY=HEADER, --map-auto or --map-all");
    }
    return {line, {}};
}

std::string applyPairs(const CommandLine& line, ExportSession& session) {
    PairsFile wanted;
    if (!line.pairsFile.empty()) {
        std::ifstream in(line.pairsFile, std::ios::binary);
        if (!in) {
            return text::fill("pairs file '%@' cannot be read: %@", line.pairsFile,
                              std::strerror(errno));
        }
        std::ostringstream text;
        text << in.rdbuf();
        PairsRead read = readPairsText(text.str());
        if (!read.pairs) {
            return text::fill("pairs file '%@', %@", line.pairsFile, read.error);
        }
        wanted = std::move(*read.pairs);
    }
    for (const auto& [propertyName, header] : line.maps) {
        wanted.kept.push_back({PairLine::Kind::Pair, propertyName, header});
    }
    if (std::string error = applyPairsFile(session, wanted); !error.empty()) {
        return error.starts_with("line ") ? text::fill("pairs file '%@', %@", line.pairsFile, error)
                                          : error;
    }
    if (line.mapAuto) {
        session.pairByNames();
    }
    if (line.mapAll) {
        session.pairAllRemaining();
    }
    if (session.pairs().empty()) {
        return "no pair: the header row has no column left to pair";
    }
    return {};
}

std::string savePairs(const CommandLine& line, const ExportSession& session) {
    if (line.savePairsFile.empty()) {
        return {};
    }
    std::ofstream out(line.savePairsFile, std::ios::binary | std::ios::trunc);
    out << writePairsText(session);
    out.close();
    if (!out) {
        return text::fill("pairs file '%@' cannot be written: %@", line.savePairsFile,
                          std::strerror(errno));
    }
    return {};
}

std::string unpairedLine(const CommandLine& line, const ExportSession& session) {
    if (line.keepUnpaired) {
        return {};
    }
    // A few by name are enough to act on; a file of thousands of columns gets their count.
    constexpr std::size_t kNamed = 20;
    const auto columns = session.unpairedColumns();
    if (columns.empty()) {
        return {};
    }
    std::string named;
    for (std::size_t i = 0; i < columns.size() && i < kNamed; ++i) {
        named += i == 0 ? "" : ", ";
        named += text::fill("'%@' (%d %@)", columns[i].header, columns[i].values,
                            columns[i].values == 1 ? "value" : "values");
    }
    if (columns.size() > kNamed) {
        named += text::fill(" and %d more columns", columns.size() - kNamed);
    }
    return "olvenmark-cli: not in the cards: " + named +
           "; --keep-unpaired writes them into the note";
}
