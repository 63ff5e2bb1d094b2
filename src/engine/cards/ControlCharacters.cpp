#include "engine/cards/ControlCharacters.h"

#include "engine/Text.h"
#include "engine/log/LogTexts.h"

#include <algorithm>

namespace {

bool isDropped(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 && c != '\t' && c != '\r' && c != '\n';
}

} // namespace

std::size_t dropControlCharacters(std::string& value) {
    const auto first = std::find_if(value.begin(), value.end(), isDropped);
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
