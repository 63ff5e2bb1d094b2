// The base a contact's file is named after: never a separator, a NUL or another
// control character, never a dot in front or a mark that turns the text's
// direction, never more than 31 UTF-16 units, never a broken character.
#include "FuzzCheck.h"
#include "engine/Text.h"
#include "engine/files/Output.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // Names come from decoded text, so only valid UTF-8 reaches the naming.
    if (!text::isValidUtf8(input)) {
        return 0;
    }
    const std::size_t cut = size / 2; // the halves may split a character; joined they are whole
    const std::string base = fileNameBase(input.substr(0, cut), input.substr(cut));
    for (const char c : base) {
        const auto u = static_cast<unsigned char>(c);
        FUZZ_CHECK(c != '/' && u >= 0x20 && u != 0x7F);
    }
    FUZZ_CHECK(!base.starts_with('.'));
    for (const char* mark : {"\u200E", "\u200F", "\u202A", "\u202B", "\u202C", "\u202D", "\u202E",
                             "\u2066", "\u2067", "\u2068", "\u2069", "\u061C"}) {
        FUZZ_CHECK(base.find(mark) == std::string::npos);
    }
    FUZZ_CHECK(text::utf16Length(base) <= 31);
    FUZZ_CHECK(text::isValidUtf8(base));
    return 0;
}
