#include "engine/cards/CardValues.h"

#include "engine/Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace vcard {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// True when the text is exactly one decimal number with an exponent part; the
// decimal mark may be a point or, as spreadsheets in many languages write it, a comma.
bool isExponentNumber(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i, ++digits;
    }
    if (i < s.size() && (s[i] == '.' || s[i] == ',')) {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i, ++digits;
        }
    }
    if (digits == 0 || i >= s.size() || (s[i] != 'e' && s[i] != 'E')) {
        return false;
    }
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    std::size_t exponentDigits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i, ++exponentDigits;
    }
    return exponentDigits > 0 && i == s.size();
}

} // namespace

std::vector<std::string_view> categoryGroups(std::string_view value) {
    static constexpr std::string_view kGroupSeparator = " ::: ";
    const bool google = value.find(kGroupSeparator) != std::string_view::npos;
    std::vector<std::string_view> groups;
    while (true) {
        const auto end = google ? value.find(kGroupSeparator) : value.find_first_of(";,|\r\n");
        auto group = text::trimmed(value.substr(0, end));
        if (!google && group.size() >= 2 && group.front() == '"' && group.back() == '"') {
            group = group.substr(1, group.size() - 2); // Mailchimp quotes each tag
        }
        if (!group.empty()) {
            groups.push_back(group);
        }
        if (end == std::string_view::npos) {
            return groups;
        }
        value.remove_prefix(end + (google ? kGroupSeparator.size() : 1));
    }
}

std::string_view expandedExponent(std::string_view value, std::string& buffer) {
    // Most values hold no "E" at all.
    if (std::none_of(value.begin(), value.end(), [](char c) { return (c | 0x20) == 'e'; })) {
        return value;
    }
    buffer = expandExponent(value);
    return buffer;
}

std::string expandExponent(std::string_view value) {
    const auto first = value.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::string(value);
    }
    const auto last = value.find_last_not_of(" \t");
    std::string_view number = value.substr(first, last - first + 1);
    if (!isExponentNumber(number)) {
        return std::string(value);
    }
    // from_chars takes no leading "+" and only a decimal point.
    std::string plain(number.front() == '+' ? number.substr(1) : number);
    std::replace(plain.begin(), plain.end(), ',', '.');
    double reading = 0;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), reading);
    if (ec != std::errc() || end != plain.data() + plain.size() || reading == 0 ||
        !std::isfinite(reading)) {
        return std::string(value);
    }
    char buffer[400];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, reading, std::chars_format::fixed, 0);
    if (written.ec != std::errc()) {
        return std::string(value);
    }
    return std::string(buffer, written.ptr);
}

} // namespace vcard
