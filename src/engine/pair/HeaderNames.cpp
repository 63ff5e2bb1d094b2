#include "engine/pair/HeaderNames.h"

#include "engine/pair/KnownHeaders.h"
#include "engine/pair/Properties.h"

#include <unordered_map>

namespace {

// The table keyed by headerKey, built once.
const std::unordered_map<std::string, const KnownHeader*>& tableByKey() {
    static const auto byKey = [] {
        std::unordered_map<std::string, const KnownHeader*> map;
        for (const KnownHeader& known : knownHeaders()) {
            map.emplace(headerKey(known.header), &known);
        }
        return map;
    }();
    return byKey;
}

} // namespace

std::string headerKey(std::string_view header) {
    std::string key;
    key.reserve(header.size());
    for (std::size_t i = 0; i < header.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(header[i]);
        if (c >= 'A' && c <= 'Z') {
            key += static_cast<char>(c - 'A' + 'a');
        } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            key += static_cast<char>(c);
        } else if (c == 0xC3 && i + 1 < header.size()) {
            // Latin-1 capitals (U+00C0..U+00DE but for U+00D7) are two bytes apart
            // from their small letters by 0x20 in the second byte.
            unsigned char next = static_cast<unsigned char>(header[++i]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97) {
                next = static_cast<unsigned char>(next + 0x20);
            }
            key += static_cast<char>(c);
            key += static_cast<char>(next);
        } else if (c >= 0x80) {
            key += static_cast<char>(c);
        }
    }
    return key;
}

NamePairing pairColumnsByName(const std::vector<std::string>& headers,
                              const std::set<std::string>& pairedProperties,
                              const std::set<std::string>& pairedHeaders) {
    NamePairing result;
    std::set<std::string> taken = pairedProperties;
    std::set<std::string> seen;
    const auto& table = tableByKey();
    for (std::size_t column = 0; column < headers.size(); ++column) {
        const std::string& header = headers[column];
        if (!seen.insert(header).second || pairedHeaders.contains(header)) {
            continue;
        }
        const auto found = table.find(headerKey(header));
        if (found == table.end()) {
            continue;
        }
        std::optional<std::string> wanted;
        bool paired = false;
        for (const std::string_view property : {found->second->property, found->second->fallback}) {
            if (property.empty() || !property::positionOf(property)) {
                continue;
            }
            if (!wanted) {
                wanted = std::string(property);
            }
            if (taken.insert(std::string(property)).second) {
                result.pairs.push_back({column, header, std::string(property)});
                paired = true;
                break;
            }
        }
        if (!paired && wanted) {
            result.unpaired.push_back({column, header, *wanted});
        }
    }
    return result;
}
