#include "cli/CommandLine.h"

#include "engine/ExportSession.h"
#include "engine/Properties.h"
#include "engine/Text.h"

#include <algorithm>
#include <set>
#include <span>

namespace {

bool isProperty(const std::string& name) {
    return std::find(property::kNames.begin(), property::kNames.end(), name) !=
           property::kNames.end();
}

ParseResult failure(std::string error) {
    return {std::nullopt, std::move(error)};
}

} // namespace

std::string usageText() {
    std::string text =
        "Usage: olvenmark-cli [--map-all] [--map PROPERTY=HEADER]... [--strict]\n"
        "                     [--single-file] CSV DESTINATION\n"
        "\n"
        "Writes one vCard file per contact of CSV into a new folder\n"
        "Olvenmark___dd_MM_yy__HH_mm_ss inside DESTINATION, and prints the report.\n"
        "\n"
        "Options:\n"
        "  --map PROPERTY=HEADER  pair a vCard property with a column, named exactly as in\n"
        "                         the header row; may be given many times\n"
        "  --map-all              pair the remaining columns with the remaining properties\n"
        "                         in order (FirstName, LastName, MiddleName, ...), up to\n"
        "                         EmailAddressOther\n"
        "  --strict               write cards as RFC 2426 has them: CR LF line ends,\n"
        "                         BEGIN:VCARD, folded long lines, FN, N and a UID on each\n"
        "  --single-file          write every card, in row order, into one file named\n"
        "                         after CSV (contacts.csv -> contacts.vcf)\n"
        "  --help                 print this text and exit\n"
        "  --version              print the version and exit\n"
        "\n"
        "Exit status: 0 every contact written, 1 some not written, 2 unusable input,\n"
        "130 cancelled with Ctrl-C.\n"
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
            line.strict = true;
        } else if (arg == "--single-file") {
            line.singleFile = true;
        } else if (arg == "--map-all") {
            line.mapAll = true;
        } else if (arg == "--map" || arg.starts_with("--map=")) {
            std::string value;
            if (arg == "--map") {
                if (i + 1 >= arguments.size()) {
                    return failure("--map needs PROPERTY=HEADER");
                }
                value = arguments[++i];
            } else {
                value = arg.substr(6);
            }
            const auto equals = value.find('=');
            if (equals == std::string::npos) {
                return failure(text::fill("--map takes PROPERTY=HEADER, not '%@'", value));
            }
            line.maps.emplace_back(value.substr(0, equals), value.substr(equals + 1));
        } else {
            return failure(text::fill("unknown option '%@'", arg));
        }
    }
    if (line.help || line.version) {
        return {line, {}};
    }
    if (positional.size() != 2) {
        return failure(positional.size() < 2
                           ? "CSV and DESTINATION are needed"
                           : "too many arguments: give one CSV and one DESTINATION");
    }
    line.csvPath = positional[0];
    line.destination = positional[1];
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
    if (line.maps.empty() && !line.mapAll) {
        return failure("no pair: give --map PROPERTY=HEADER or --map-all");
    }
    return {line, {}};
}

std::string applyPairs(const CommandLine& line, ExportSession& session) {
    for (const auto& [propertyName, header] : line.maps) {
        const auto& headers = session.headers();
        if (std::find(headers.begin(), headers.end(), header) == headers.end()) {
            return text::fill("no column named '%@' in the header row", header);
        }
        if (session.pair(header, propertyName) != ExportSession::PairResult::Paired) {
            return text::fill("column '%@' is paired twice", header);
        }
    }
    if (line.mapAll) {
        session.pairAllRemaining();
    }
    if (session.pairs().empty()) {
        return "no pair: the header row has no column left to pair";
    }
    return {};
}
