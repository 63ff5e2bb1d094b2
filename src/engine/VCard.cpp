#include "VCard.h"

#include "Properties.h"
#include "Text.h"
#include "myLog.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace vcard {

namespace {

std::string escape(std::string_view value, bool structural) {
    std::string out;
    out.reserve(value.size() + 8);
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' || c == '\n') {
            out += "\\n";
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
                ++i;
            }
        } else if (structural && (c == '\\' || c == ';' || c == ',')) {
            out += '\\';
            out += c;
        } else {
            out += c;
        }
    }
    return out;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// True when the text is exactly one decimal number with an exponent part.
bool isExponentNumber(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i, ++digits;
    }
    if (i < s.size() && s[i] == '.') {
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

std::string escapeValue(std::string_view value) {
    return escape(value, true);
}

std::string escapeUrl(std::string_view value) {
    return escape(value, false);
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
    // from_chars takes no leading "+".
    const bool plus = number.front() == '+';
    if (plus) {
        number.remove_prefix(1);
    }
    double reading = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), reading);
    if (ec != std::errc() || end != number.data() + number.size() || reading == 0 ||
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

namespace {

using namespace vcard;

void addAddress(std::vector<std::string>& lines, const std::vector<std::string>& r,
                std::string_view head, std::size_t combined) {
    const std::string& street = r.at(combined + 1);
    const std::string& city = r.at(combined + 2);
    const std::string& state = r.at(combined + 3);
    const std::string& postalCode = r.at(combined + 4);
    const std::string& country = r.at(combined + 5);
    if (!street.empty() || !city.empty() || !state.empty() || !postalCode.empty() ||
        !country.empty()) {
        lines.push_back(text::fill("%@;;%@;%@;%@;%@;%@", head, escapeValue(street),
                                   escapeValue(city), escapeValue(state),
                                   escapeValue(expandExponent(postalCode)), escapeValue(country)));
    } else if (!r.at(combined).empty()) {
        lines.push_back(text::fill("%@;;%@", head, escapeValue(r.at(combined))));
    }
}

void addIfSet(std::vector<std::string>& lines, std::string_view head, const std::string& value,
              std::string (*render)(std::string_view)) {
    if (!value.empty()) {
        lines.push_back(std::string(head) + render(value));
    }
}

std::string phone(std::string_view value) {
    return escapeValue(expandExponent(value));
}

std::string render(const std::vector<std::string>& r, std::string_view version) {
    using namespace property;
    if (r.size() < kCount) {
        throw std::out_of_range(text::fill("record holds %d values, %d needed", r.size(),
                                           static_cast<std::size_t>(kCount)));
    }
    std::vector<std::string> lines;
    lines.reserve(20);
    lines.emplace_back("begin:vcard");
    lines.push_back(std::string("version:").append(version));

    const std::string& first = r[FirstName];
    const std::string& last = r[LastName];
    const std::string& middle = r[MiddleName];
    const std::string& full = r[FullName];
    if (!first.empty() || !last.empty() || !middle.empty() || !full.empty()) {
        lines.push_back(full.empty() ? text::fill("FN:%@ %@", escapeValue(first), escapeValue(last))
                                     : "FN:" + escapeValue(full));
        std::string n =
            text::fill("N:%@;%@;%@", escapeValue(last), escapeValue(first), escapeValue(middle));
        if (!r[Title].empty()) {
            n += ";" + escapeValue(r[Title]);
        }
        lines.push_back(n + ";");
    }
    addIfSet(lines, "TITLE:", r[JobTitle], escapeValue);
    if (!r[Company].empty()) {
        std::string org = "ORG:" + escapeValue(r[Company]);
        if (!r[Department].empty()) {
            org += ";" + escapeValue(r[Department]);
        }
        lines.push_back(org);
    }
    addAddress(lines, r, "ADR;type=WORK:", BusinessAddress);
    addIfSet(lines, "TEL;type=WORK;type=FAX:", r[BusinessFaxNumber], phone);
    addIfSet(lines, "TEL;type=WORK:", r[BusinessTelephoneNumber], phone);
    addIfSet(lines, "URL;type=WORK:", r[BusinessWebPage], escapeUrl);
    addAddress(lines, r, "ADR;type=HOME:", HomeAddress);
    addIfSet(lines, "TEL;type=HOME;type=FAX:", r[HomeFaxNumber], phone);
    addIfSet(lines, "TEL;type=HOME:", r[HomeTelephoneNumber], phone);
    addIfSet(lines, "URL;type=HOME:", r[PersonalWebPage], escapeUrl);
    addIfSet(lines, "TEL;type=CELL:", r[MobileNumber], phone);
    addIfSet(lines, "EMAIL;type=INTERNET;type=WORK:", r[EmailAddressWork], escapeValue);
    addIfSet(lines, "EMAIL;type=INTERNET;type=HOME:", r[EmailAddressHome], escapeValue);
    addIfSet(lines, "EMAIL;type=INTERNET;type=OTHER:", r[EmailAddressOther], escapeValue);
    lines.emplace_back("end:vcard");

    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            out += '\n';
        }
        out += lines[i];
    }
    return out;
}

} // namespace

std::optional<std::string> vCardRepresentation(const std::vector<std::string>& record,
                                               std::string_view version) {
    try {
        return render(record, version);
    } catch (const std::exception& e) {
        logOrConsole(text::fill("EXCEPTION\nOccured in vCardRepresentation()\nname: %@\nReason: %@",
                                text::exceptionName(e), e.what()));
        return std::nullopt;
    }
}
