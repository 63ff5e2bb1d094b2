// The reader of a server's multistatus answers, on anything a server could
// send: no crash, and never more text out than the answer holds (at most three
// UTF-8 bytes for each byte of a declared encoding), so that no entity or
// reference grows an answer.
#include "FuzzCheck.h"
#include "carddav/Multistatus.h"

#include <cstdint>
#include <string>
#include <string_view>

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
        }
    }
    FUZZ_CHECK(out <= 3 * size);
    return 0;
}
