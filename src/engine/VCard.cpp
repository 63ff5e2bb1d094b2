#include "VCard.h"

#include "Properties.h"
#include "Text.h"
#include "myLog.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace vcard {

namespace {

// Appends the value with backslash, semicolon and comma escaped when
// `structural`, and every line break (CR LF, CR or LF) written as "\n".
void appendEscaped(std::string& out, std::string_view value, bool structural) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' || c == '\n') {
            out += "\\n";
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
                ++i;
            }
        } else {
            if (structural && (c == '\\' || c == ';' || c == ',')) {
                out += '\\';
            }
            out += c;
        }
    }
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

namespace {

using namespace vcard;

// Builds the text line by line straight into one string.
class CardText {
public:
    CardText() { text_.reserve(1024); }

    // Starts a new line with its head, such as "TEL;type=CELL:".
    CardText& line(std::string_view head) {
        if (!text_.empty()) {
            text_ += '\n';
        }
        text_ += head;
        return *this;
    }
    CardText& raw(std::string_view s) {
        text_ += s;
        return *this;
    }
    CardText& value(std::string_view v) {
        appendEscaped(text_, v, true);
        return *this;
    }
    CardText& url(std::string_view v) {
        appendEscaped(text_, v, false);
        return *this;
    }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

void addAddress(CardText& card, const std::vector<std::string>& r, std::string_view head,
                std::size_t combined) {
    const std::string& street = r[combined + 1];
    const std::string& city = r[combined + 2];
    const std::string& state = r[combined + 3];
    const std::string& postalCode = r[combined + 4];
    const std::string& country = r[combined + 5];
    if (!street.empty() || !city.empty() || !state.empty() || !postalCode.empty() ||
        !country.empty()) {
        card.line(head).raw(";;").value(street).raw(";").value(city).raw(";").value(state);
        card.raw(";").value(expandExponent(postalCode)).raw(";").value(country);
    } else if (!r[combined].empty()) {
        card.line(head).raw(";;").value(r[combined]);
    }
}

void addValue(CardText& card, std::string_view head, const std::string& value) {
    if (!value.empty()) {
        card.line(head).value(value);
    }
}

void addPhone(CardText& card, std::string_view head, const std::string& value) {
    if (!value.empty()) {
        card.line(head).value(expandExponent(value));
    }
}

void addUrl(CardText& card, std::string_view head, const std::string& value) {
    if (!value.empty()) {
        card.line(head).url(value);
    }
}

} // namespace

std::string renderVCard(const std::vector<std::string>& r, std::string_view version) {
    using namespace property;
    if (r.size() < kCount) {
        throw std::out_of_range(text::fill("record holds %d values, %d needed", r.size(),
                                           static_cast<std::size_t>(kCount)));
    }
    CardText card;
    card.line("begin:vcard");
    card.line("version:").raw(version);

    const std::string& first = r[FirstName];
    const std::string& last = r[LastName];
    const std::string& middle = r[MiddleName];
    const std::string& full = r[FullName];
    if (!first.empty() || !last.empty() || !middle.empty() || !full.empty()) {
        if (full.empty()) {
            card.line("FN:").value(first).raw(" ").value(last);
        } else {
            card.line("FN:").value(full);
        }
        card.line("N:").value(last).raw(";").value(first).raw(";").value(middle);
        if (!r[Title].empty()) {
            card.raw(";").value(r[Title]);
        }
        card.raw(";");
    }
    addValue(card, "TITLE:", r[JobTitle]);
    if (!r[Company].empty()) {
        card.line("ORG:").value(r[Company]);
        if (!r[Department].empty()) {
            card.raw(";").value(r[Department]);
        }
    }
    addAddress(card, r, "ADR;type=WORK:", BusinessAddress);
    addPhone(card, "TEL;type=WORK;type=FAX:", r[BusinessFaxNumber]);
    addPhone(card, "TEL;type=WORK:", r[BusinessTelephoneNumber]);
    addUrl(card, "URL;type=WORK:", r[BusinessWebPage]);
    addAddress(card, r, "ADR;type=HOME:", HomeAddress);
    addPhone(card, "TEL;type=HOME;type=FAX:", r[HomeFaxNumber]);
    addPhone(card, "TEL;type=HOME:", r[HomeTelephoneNumber]);
    addUrl(card, "URL;type=HOME:", r[PersonalWebPage]);
    addPhone(card, "TEL;type=CELL:", r[MobileNumber]);
    addValue(card, "EMAIL;type=INTERNET;type=WORK:", r[EmailAddressWork]);
    addValue(card, "EMAIL;type=INTERNET;type=HOME:", r[EmailAddressHome]);
    addValue(card, "EMAIL;type=INTERNET;type=OTHER:", r[EmailAddressOther]);
    card.line("end:vcard");
    return card.take();
}

std::string renderFailureEntry(const std::exception& e) {
    return text::fill("EXCEPTION\nOccured in vCardRepresentation()\nname: %@\nReason: %@",
                      text::exceptionName(e), e.what());
}

std::optional<std::string> vCardRepresentation(const std::vector<std::string>& record,
                                               std::string_view version) {
    try {
        return renderVCard(record, version);
    } catch (const std::exception& e) {
        logOrConsole(renderFailureEntry(e));
        return std::nullopt;
    }
}
