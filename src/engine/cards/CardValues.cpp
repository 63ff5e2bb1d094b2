#include "engine/cards/CardValues.h"

#include "engine/Text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace vcard {

namespace {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool exists(const Date& d) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.year < 1000 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1) {
        return false;
    }
    const int days =
        kDays[static_cast<std::size_t>(d.month - 1)] + (d.month == 2 && isLeapYear(d.year) ? 1 : 0);
    return d.day <= days;
}

// A run of digits or of letters, or one other character; blanks separate.
std::vector<std::string_view> tokens(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        if (std::isdigit(c) != 0) {
            while (end < s.size() && std::isdigit(static_cast<unsigned char>(s[end])) != 0) {
                ++end;
            }
        } else if (std::isalpha(c) != 0) {
            while (end < s.size() && std::isalpha(static_cast<unsigned char>(s[end])) != 0) {
                ++end;
            }
        }
        out.push_back(s.substr(i, end - i));
        i = end;
    }
    return out;
}

bool isNumber(std::string_view t, std::size_t minDigits, std::size_t maxDigits) {
    return t.size() >= minDigits && t.size() <= maxDigits &&
           std::isdigit(static_cast<unsigned char>(t.front())) != 0;
}

int number(std::string_view t) {
    int n = 0;
    std::from_chars(t.data(), t.data() + t.size(), n);
    return n;
}

// 1 to 12 for an English month name or its first three letters, else 0.
int monthNamed(std::string_view t) {
    static constexpr std::array<std::string_view, 12> kMonths = {
        "january", "february", "march",     "april",   "may",      "june",
        "july",    "august",   "september", "october", "november", "december"};
    if (t.size() < 3) {
        return 0;
    }
    std::string lower;
    for (const char c : t) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (std::size_t m = 0; m < kMonths.size(); ++m) {
        if (lower == kMonths[m] || lower == kMonths[m].substr(0, 3)) {
            return static_cast<int>(m) + 1;
        }
    }
    return 0;
}

// Three numbers with one separator: year first, day first with dots, and day
// or month first with slashes and dashes as far as the numbers tell.
std::optional<Date> numericDate(const std::vector<std::string_view>& t) {
    if (t.size() != 5 || t[1] != t[3] || !isNumber(t[0], 1, 4) || !isNumber(t[2], 1, 2) ||
        !isNumber(t[4], 1, 4)) {
        return std::nullopt;
    }
    const char separator = t[1].front();
    if (separator != '-' && separator != '/' && separator != '.') {
        return std::nullopt;
    }
    const int a = number(t[0]);
    const int b = number(t[2]);
    const int c = number(t[4]);
    if (t[0].size() == 4) {
        return Date{a, b, c};
    }
    if (t[4].size() != 4 || t[0].size() > 2) {
        return std::nullopt;
    }
    if (separator == '.' || a > 12 || a == b) {
        return Date{c, b, a};
    }
    if (b > 12) {
        return Date{c, a, b};
    }
    return std::nullopt; // 03/04/1990: March or April
}

// "March 14, 1990", "Mar 14 1990", "14 March 1990", "14-Mar-1990".
std::optional<Date> namedMonthDate(std::vector<std::string_view> t) {
    std::erase_if(t, [](std::string_view x) { return x == "," || x == "-" || x == "."; });
    if (t.size() != 3 || !isNumber(t[2], 4, 4)) {
        return std::nullopt;
    }
    if (const int m = monthNamed(t[0]); m != 0 && isNumber(t[1], 1, 2)) {
        return Date{number(t[2]), m, number(t[1])};
    }
    if (const int m = monthNamed(t[1]); m != 0 && isNumber(t[0], 1, 2)) {
        return Date{number(t[2]), m, number(t[0])};
    }
    return std::nullopt;
}

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

std::optional<std::string> isoDate(std::string_view value) {
    const auto t = tokens(value);
    std::optional<Date> date;
    if (t.size() == 1 && t[0].size() == 8 && isNumber(t[0], 8, 8)) {
        date =
            Date{number(t[0].substr(0, 4)), number(t[0].substr(4, 2)), number(t[0].substr(6, 2))};
    } else {
        date = numericDate(t);
        if (!date) {
            date = namedMonthDate(t);
        }
    }
    if (!date || !exists(*date)) {
        return std::nullopt;
    }
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date->year, date->month, date->day);
    return std::string(buffer);
}

std::string birthdayValue(std::string_view value) {
    return isoDate(value).value_or(std::string(value));
}

std::vector<std::string_view> categoryGroups(std::string_view value) {
    static constexpr std::string_view kGroupSeparator = " ::: ";
    const bool google = value.find(kGroupSeparator) != std::string_view::npos;
    std::vector<std::string_view> groups;
    while (true) {
        const auto end = google ? value.find(kGroupSeparator) : value.find_first_of(";,");
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
