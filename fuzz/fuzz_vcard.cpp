// The vCard writer on records of any 30 values: no value can add a line.
#include "FuzzCheck.h"
#include "engine/cards/VCard.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 12> kLineStarts = {
    "begin:vcard", "version:",  "FN:",       "N:",        "TITLE:",
    "ORG:",        "ADR;type=", "TEL;type=", "URL;type=", "EMAIL;type=INTERNET;type=",
    "end:vcard",   "\x01"};

bool knownLine(std::string_view line) {
    for (std::size_t i = 0; i + 1 < kLineStarts.size(); ++i) {
        if (line.starts_with(kLineStarts[i])) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Values are separated by 0xFF bytes; missing ones stay empty.
    std::vector<std::string> record(30);
    std::size_t slot = 0;
    for (std::size_t i = 0; i < size && slot < 30; ++i) {
        if (data[i] == 0xFF) {
            ++slot;
        } else {
            record[slot] += static_cast<char>(data[i]);
        }
    }
    const std::string card = renderVCard(record, "3.0");
    FUZZ_CHECK(card.starts_with("begin:vcard\nversion:3.0\n"));
    FUZZ_CHECK(card.ends_with("\nend:vcard"));
    FUZZ_CHECK(card.find('\r') == std::string::npos);
    std::size_t lines = 0;
    std::size_t start = 0;
    while (start <= card.size()) {
        const std::size_t end = std::min(card.find('\n', start), card.size());
        FUZZ_CHECK(knownLine(std::string_view(card).substr(start, end - start)));
        ++lines;
        start = end + 1;
    }
    FUZZ_CHECK(lines <= 19);
    return 0;
}
