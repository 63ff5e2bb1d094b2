#include "engine/PairsFile.h"

#include "engine/ExportSession.h"
#include "engine/Text.h"
#include "engine/pair/Properties.h"

#include <algorithm>

namespace {

constexpr std::string_view kHeading =
    "# Olvenmark pairs: PROPERTY=HEADER, typed=HEADER, carried=HEADER, joined=HEADERS;\n"
    "# \"-\" before a line marks what was removed.\n";
constexpr std::string_view kTyped = "typed";
constexpr std::string_view kCarried = "carried";
constexpr std::string_view kJoined = "joined";

// A name as a line holds it: a backslash and a line break escaped.
std::string escaped(std::string_view name) {
    std::string out;
    for (const char c : name) {
        out += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    }
    return out;
}

std::string unescaped(std::string_view name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 1 < name.size()) {
            const char next = name[++i];
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            out += name[i];
        }
    }
    return out;
}

std::string lineText(const PairLine& line, bool removed) {
    const std::string_view key = line.kind == PairLine::Kind::Pair      ? line.property
                                 : line.kind == PairLine::Kind::Typed   ? kTyped
                                 : line.kind == PairLine::Kind::Carried ? kCarried
                                                                        : kJoined;
    return (removed ? "-" : "") + std::string(key) + "=" + escaped(line.header) + "\n";
}

// A problem with a line, named by its number when it was read from a text.
std::string atLine(const PairLine& line, std::string_view problem) {
    return line.lineNumber == 0 ? std::string(problem)
                                : text::fill("line %d: %@", line.lineNumber, problem);
}

} // namespace

std::string writePairsText(const ExportSession& session) {
    std::string text(kHeading);
    for (const auto& pair : session.pairs()) {
        text +=
            lineText({PairLine::Kind::Pair, std::string(pair.propertyName()), pair.header}, false);
    }
    const auto carried = session.carriedRows();
    const std::size_t typed = session.typedGroups().size();
    for (std::size_t i = 0; i < carried.size(); ++i) {
        const auto kind = i < typed                                     ? PairLine::Kind::Typed
                          : i < typed + session.furtherColumns().size() ? PairLine::Kind::Carried
                                                                        : PairLine::Kind::Joined;
        text += lineText({kind, {}, carried[i].column}, false);
    }
    for (const auto& removal : session.removals()) {
        text += lineText(removal, true);
    }
    return text;
}

PairsRead readPairsText(std::string_view text) {
    PairsFile pairs;
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++number;
        if (line.ends_with('\r')) {
            line.remove_suffix(1); // written on Windows
        }
        if (text::trimmed(line).empty() || line.starts_with('#')) {
            continue;
        }
        const bool removed = line.starts_with('-');
        line.remove_prefix(removed ? 1 : 0);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            return {std::nullopt,
                    text::fill("line %d: PROPERTY=HEADER, typed=, carried= or joined=HEADER, "
                               "not '%@'",
                               number, line)};
        }
        const std::string_view key = line.substr(0, equals);
        PairLine read{PairLine::Kind::Pair, std::string(key), unescaped(line.substr(equals + 1)),
                      number};
        if (key == kTyped || key == kCarried || key == kJoined) {
            read.kind = key == kTyped     ? PairLine::Kind::Typed
                        : key == kCarried ? PairLine::Kind::Carried
                                          : PairLine::Kind::Joined;
            read.property.clear();
        } else if (!property::positionOf(key)) {
            return {std::nullopt, text::fill("line %d: unknown vCard property '%@'", number, key)};
        }
        (removed ? pairs.removed : pairs.kept).push_back(std::move(read));
    }
    return {std::move(pairs), {}};
}

std::string applyPairsFile(ExportSession& session, const PairsFile& pairs) {
    session.clearPairs();
    std::string error;
    std::vector<PairLine> carried;
    for (const PairLine& line : pairs.kept) {
        if (line.kind != PairLine::Kind::Pair) {
            carried.push_back(line);
            continue;
        }
        const auto& headers = session.headers();
        std::string problem;
        if (std::find(headers.begin(), headers.end(), line.header) == headers.end()) {
            problem = text::fill("no column named '%@' in the header row", line.header);
        } else if (const auto result = session.pair(line.header, line.property);
                   result != ExportSession::PairResult::Paired) {
            problem = result == ExportSession::PairResult::UnknownColumn
                          ? text::fill("column '%@' is paired twice", line.header)
                          : text::fill("vCard property '%@' is paired twice", line.property);
        }
        if (error.empty() && !problem.empty()) {
            error = atLine(line, problem);
        }
    }
    const std::vector<PairLine> missing = session.carryAgain(carried);
    if (error.empty() && !missing.empty()) {
        error = atLine(missing.front(), text::fill("pairing by names carries no column '%@'",
                                                   missing.front().header));
    }
    session.setRemovals(pairs.removed);
    return error;
}
