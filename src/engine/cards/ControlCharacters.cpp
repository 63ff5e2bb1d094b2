#include "engine/cards/ControlCharacters.h"

#include "engine/Text.h"
#include "engine/log/LogTexts.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

bool isDropped(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 && c != '\t' && c != '\r' && c != '\n';
}

// Where the first byte below 0x20 may be: eight bytes at a time over text,
// which mostly holds none.
std::size_t firstLowByte(std::string_view value) {
    std::size_t i = 0;
    for (; i + 8 <= value.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, value.data() + i, 8);
        if (((word - 0x2020202020202020ULL) & ~word & 0x8080808080808080ULL) != 0) {
            break;
        }
    }
    return i;
}

} // namespace

bool holdsControlCharacters(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        i += firstLowByte(text.substr(i));
        const std::size_t end = std::min(i + 8, text.size());
        if (std::any_of(text.begin() + static_cast<std::ptrdiff_t>(i),
                        text.begin() + static_cast<std::ptrdiff_t>(end), isDropped)) {
            return true;
        }
        i = end; // a word with a line break or tab only
    }
    return false;
}

std::size_t dropControlCharacters(std::string& value) {
    const auto from = value.begin() + static_cast<std::ptrdiff_t>(firstLowByte(value));
    const auto first = std::find_if(from, value.end(), isDropped);
    if (first == value.end()) {
        return 0; // the usual case: nothing to move
    }
    const auto kept = std::remove_if(first, value.end(), isDropped);
    const auto count = static_cast<std::size_t>(value.end() - kept);
    value.erase(kept, value.end());
    return count;
}

std::size_t dropControlCharacters(std::vector<std::string>& record) {
    std::size_t count = 0;
    for (auto& value : record) {
        count += dropControlCharacters(value);
    }
    return count;
}

std::size_t dropControlCharacters(ContactRecord& record) {
    std::size_t count = dropControlCharacters(record.named);
    for (auto& further : record.more) {
        count += dropControlCharacters(further.value);
        for (auto& part : further.address) {
            count += dropControlCharacters(part);
        }
    }
    return count;
}

std::string droppedControlCharactersEntry(std::size_t count) {
    return text::fill(logtext::kControlCharactersDropped, count);
}
