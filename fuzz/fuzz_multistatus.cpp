// The reader of a server's multistatus answers, on anything a server could
// send: no crash, and never more text out than the answer holds (at most three
// UTF-8 bytes for each byte of a declared encoding), so that no entity or
// reference grows an answer. What it reads is shown printable, cut and without
// the credentials.
#include "FuzzCheck.h"
#include "carddav/Multistatus.h"
#include "carddav/ServerText.h"
#include "engine/Text.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

const carddav::ServerText shown("ann", "fuzz&Pa55");

void checkShown(const std::string& text) {
    const std::string line = shown(text);
    FUZZ_CHECK(line.size() <= carddav::kShownLength + std::string_view("…").size());
    FUZZ_CHECK(text::isValidUtf8(line));
    FUZZ_CHECK(line.find("fuzz&Pa55") == std::string::npos);
    for (const char c : line) {
        FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    const auto resources = carddav::parseMultistatus(answer);
    if (!resources) {
        return 0;
    }
    std::size_t out = 0;
    for (const auto& resource : *resources) {
        for (const std::string* text : {&resource.href, &resource.displayName, &resource.principal,
                                        &resource.addressBookHome}) {
            out += text->size();
            checkShown(*text);
        }
    }
    FUZZ_CHECK(out <= 3 * size);
    return 0;
}
