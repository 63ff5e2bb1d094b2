#include "engine/cards/VCard.h"

#include "engine/Text.h"
#include "engine/cards/CardValues.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"
#include "engine/pair/Properties.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
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

std::string foldLines(std::string_view text) {
    constexpr std::size_t kLimit = 75;
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 8);
    while (true) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        std::size_t limit = kLimit;
        while (line.size() > limit) {
            std::size_t cut = limit;
            // Never inside a character: back up over UTF-8 continuation bytes.
            while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
                --cut;
            }
            out.append(line.substr(0, cut));
            out += "\r\n ";
            line.remove_prefix(cut);
            limit = kLimit - 1; // the blank that starts the next line counts
        }
        out.append(line);
        out += "\r\n";
        if (end == std::string_view::npos) {
            return out;
        }
        text.remove_prefix(end + 1);
    }
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

// A record's value, empty for a property after the 30 that an older,
// shorter record does not hold.
const std::string& at(const std::vector<std::string>& r, std::size_t position) {
    static const std::string kEmpty;
    return position < r.size() ? r[position] : kEmpty;
}

// The street component: the first street line, and the second after a line break.
std::string streetLines(const std::string& street, const std::string& street2) {
    if (street2.empty()) {
        return street;
    }
    return street.empty() ? street2 : street + "\n" + street2;
}

void addAddress(CardText& card, const std::vector<std::string>& r, std::string_view head,
                std::size_t combined, std::size_t street2Position) {
    const std::string& street2 = at(r, street2Position);
    const std::string& street = r[combined + 1];
    const std::string& city = r[combined + 2];
    const std::string& state = r[combined + 3];
    const std::string& postalCode = r[combined + 4];
    const std::string& country = r[combined + 5];
    if (!street.empty() || !street2.empty() || !city.empty() || !state.empty() ||
        !postalCode.empty() || !country.empty()) {
        card.line(head).raw(";;").value(streetLines(street, street2)).raw(";").value(city);
        card.raw(";").value(state).raw(";").value(expandExponent(postalCode)).raw(";");
        card.value(country);
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

// The telephone lines in the order the card carries them.
struct PhoneLine {
    property::Position position;
    std::string_view head;
};
constexpr PhoneLine kPhones[] = {
    {property::BusinessFaxNumber, "TEL;type=WORK;type=FAX:"},
    {property::BusinessTelephoneNumber, "TEL;type=WORK:"},
    {property::HomeFaxNumber, "TEL;type=HOME;type=FAX:"},
    {property::HomeTelephoneNumber, "TEL;type=HOME:"},
    {property::MobileNumber, "TEL;type=CELL:"},
    {property::OtherTelephoneNumber, "TEL;type=VOICE:"},
    {property::PagerNumber, "TEL;type=PAGER:"},
    {property::CarTelephoneNumber, "TEL;type=CAR:"},
    {property::AssistantTelephoneNumber, "TEL;type=VOICE;type=X-ASSISTANT:"},
    {property::CompanyMainTelephoneNumber, "TEL;type=WORK;type=PREF:"},
};
constexpr property::Position kEmails[] = {property::EmailAddressWork, property::EmailAddressHome,
                                          property::EmailAddressOther, property::EmailAddress2,
                                          property::EmailAddress3};

// The strict card's FN: the full name, else the names, else the company, else
// the first e-mail address, else the first telephone number.
std::string strictFullName(const std::vector<std::string>& r) {
    using namespace property;
    if (!r[FullName].empty()) {
        return r[FullName];
    }
    std::string names;
    for (const auto p : {FirstName, MiddleName, LastName}) {
        if (!r[p].empty()) {
            names += names.empty() ? r[p] : " " + r[p];
        }
    }
    if (!names.empty()) {
        return names;
    }
    if (!r[Company].empty()) {
        return r[Company];
    }
    for (const auto p : kEmails) {
        if (!at(r, p).empty()) {
            return at(r, p);
        }
    }
    for (const auto& phone : kPhones) {
        if (!at(r, phone.position).empty()) {
            return expandExponent(at(r, phone.position));
        }
    }
    return {};
}

void addNameLines(CardText& card, const std::vector<std::string>& r, bool strict) {
    using namespace property;
    const std::string& first = r[FirstName];
    const std::string& last = r[LastName];
    const std::string& middle = r[MiddleName];
    const std::string& full = r[FullName];
    const std::string& suffix = at(r, NameSuffix);
    if (strict) {
        // Every strict card has both, N with all five components.
        card.line("FN:").value(strictFullName(r));
        card.line("N:").value(last).raw(";").value(first).raw(";").value(middle).raw(";");
        card.value(r[Title]).raw(";").value(suffix);
        return;
    }
    if (!first.empty() || !last.empty() || !middle.empty() || !full.empty() || !suffix.empty()) {
        if (full.empty()) {
            card.line("FN:").value(first).raw(" ").value(last);
        } else {
            card.line("FN:").value(full);
        }
        card.line("N:").value(last).raw(";").value(first).raw(";").value(middle);
        if (!r[Title].empty() || !suffix.empty()) {
            card.raw(";").value(r[Title]);
        }
        card.raw(";").value(suffix);
    }
}

// The lines both kinds of card share, from the name to the last property.
void addContactLines(CardText& card, const std::vector<std::string>& r, bool strict) {
    using namespace property;
    addNameLines(card, r, strict);
    addValue(card, "TITLE:", r[JobTitle]);
    if (!r[Company].empty()) {
        card.line("ORG:").value(r[Company]);
        if (!r[Department].empty()) {
            card.raw(";").value(r[Department]);
        }
    }
    addAddress(card, r, "ADR;type=WORK:", BusinessAddress, BusinessAddressStreet2);
    addPhone(card, kPhones[0].head, r[BusinessFaxNumber]);
    addPhone(card, kPhones[1].head, r[BusinessTelephoneNumber]);
    addUrl(card, "URL;type=WORK:", r[BusinessWebPage]);
    addAddress(card, r, "ADR;type=HOME:", HomeAddress, HomeAddressStreet2);
    addPhone(card, kPhones[2].head, r[HomeFaxNumber]);
    addPhone(card, kPhones[3].head, r[HomeTelephoneNumber]);
    addUrl(card, "URL;type=HOME:", r[PersonalWebPage]);
    addPhone(card, kPhones[4].head, r[MobileNumber]);
    addValue(card, "EMAIL;type=INTERNET;type=WORK:", r[EmailAddressWork]);
    addValue(card, "EMAIL;type=INTERNET;type=HOME:", r[EmailAddressHome]);
    addValue(card, "EMAIL;type=INTERNET;type=OTHER:", r[EmailAddressOther]);
    if (r.size() < kCount) {
        return; // an older record of 30 values holds nothing more
    }
    addValue(card, "EMAIL;type=INTERNET:", r[EmailAddress2]);
    addValue(card, "EMAIL;type=INTERNET:", r[EmailAddress3]);
    for (std::size_t i = 5; i < std::size(kPhones); ++i) {
        addPhone(card, kPhones[i].head, r[kPhones[i].position]);
    }
    addValue(card, "NICKNAME:", r[Nickname]);
    if (!r[Birthday].empty()) {
        card.line("BDAY:").value(birthdayValue(r[Birthday]));
    }
    if (const auto groups = categoryGroups(r[Categories]); !groups.empty()) {
        card.line("CATEGORIES:");
        for (std::size_t i = 0; i < groups.size(); ++i) {
            card.raw(i == 0 ? "" : ",").value(groups[i]);
        }
    }
    addValue(card, "NOTE:", r[Notes]);
}

void requireRecord(const std::vector<std::string>& r) {
    if (r.size() < property::kPairedInOrder) {
        throw std::out_of_range(
            text::fill("record holds %d values, %d needed", r.size(), property::kPairedInOrder));
    }
}

} // namespace

std::string renderVCard(const std::vector<std::string>& r, std::string_view version) {
    requireRecord(r);
    CardText card;
    card.line("begin:vcard");
    card.line("version:").raw(version);
    addContactLines(card, r, false);
    card.line("end:vcard");
    return card.take();
}

std::string renderStrictVCard(const std::vector<std::string>& r, std::string_view uid) {
    requireRecord(r);
    CardText card;
    card.line("BEGIN:VCARD");
    card.line("VERSION:3.0");
    addContactLines(card, r, true);
    card.line("UID:").value(uid);
    card.line("END:VCARD");
    return vcard::foldLines(card.take());
}

std::string renderFailureEntry(const std::exception& e) {
    return text::fill(logtext::kVCardException, text::exceptionName(e), e.what());
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
