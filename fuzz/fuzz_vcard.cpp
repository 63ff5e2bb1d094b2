// Both card writers on records of any values, named and further: no value can
// add a line or break a line's head, and strict lines stay CR LF and folded.
#include "FuzzCheck.h"
#include "FuzzRecord.h"
#include "engine/cards/CardWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::array<std::string_view, 13> kProperties = {
    "FN",    "N",        "TITLE", "ORG",        "ADR",  "TEL", "URL",
    "EMAIL", "NICKNAME", "BDAY",  "CATEGORIES", "NOTE", "UID"};

// A content line whose head is a known property with plain-word TYPE values.
bool knownLine(std::string_view line) {
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    const std::string_view head = line.substr(0, colon);
    const std::string_view name = head.substr(0, head.find(';'));
    if (std::find(kProperties.begin(), kProperties.end(), name) == kProperties.end()) {
        return false;
    }
    return std::all_of(head.begin(), head.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '-' || c == ';' || c == '=';
    });
}

// The card's lines, split at `end`; the text must end with one.
std::vector<std::string_view> lines(std::string_view card, std::string_view end) {
    std::vector<std::string_view> out;
    while (!card.empty()) {
        const auto at = card.find(end);
        FUZZ_CHECK(at != std::string_view::npos);
        out.push_back(card.substr(0, at));
        card.remove_prefix(at + end.size());
    }
    return out;
}

// Checks every line between the first two and the last; answers how many lines.
std::size_t checkBody(const std::vector<std::string_view>& body) {
    for (std::size_t i = 2; i + 1 < body.size(); ++i) {
        FUZZ_CHECK(knownLine(body[i]));
    }
    return body.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The named values first, missing ones empty, then each further one of
    // the next kind, typed by its own text; any bytes.
    ContactRecord record = recordOf(valuesOf(data, size, false));
    // At most every named line once, and one line per further value.
    const std::size_t maxLines = 30 + record.more.size();

    const std::string classic = cardWriter(CardFormat::Classic).write(record, "") + "\n";
    FUZZ_CHECK(classic.starts_with("begin:vcard\nversion:3.0\n"));
    FUZZ_CHECK(classic.find('\r') == std::string::npos);
    const auto classicLines = lines(classic, "\n");
    FUZZ_CHECK(classicLines.back() == "end:vcard");
    FUZZ_CHECK(checkBody(classicLines) <= maxLines);

    const std::string strict = cardWriter(CardFormat::Strict).write(record, "u");
    FUZZ_CHECK(strict.starts_with("BEGIN:VCARD\r\nVERSION:3.0\r\n"));
    std::string unfolded;
    for (const std::string_view line : lines(strict, "\r\n")) {
        FUZZ_CHECK(line.size() <= 75);
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos);
        if (line.starts_with(' ')) {
            unfolded.append(line.substr(1));
        } else {
            unfolded.append(unfolded.empty() ? "" : "\n").append(line);
        }
    }
    unfolded += '\n';
    const auto strictLines = lines(unfolded, "\n");
    FUZZ_CHECK(strictLines.back() == "END:VCARD");
    FUZZ_CHECK(strictLines[strictLines.size() - 2] == "UID:u");
    FUZZ_CHECK(checkBody(strictLines) <= maxLines + 1);
    return 0;
}
