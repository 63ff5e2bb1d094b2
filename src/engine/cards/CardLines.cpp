#include "engine/cards/CardLines.h"

#include "engine/Text.h"
#include "engine/cards/CardValues.h"
#include "engine/cards/Dates.h"

#include <algorithm>
#include <array>
#include <stdexcept>

using namespace property;

namespace {

// Appends the value with every line break (CR LF, CR or LF) written as "\n",
// and for text also backslash, semicolon and comma escaped.
void appendEscaped(std::string& out, std::string_view value, ValueType type) {
    // The few bytes that need work, per kind of value; runs between them are
    // copied whole, as most values hold none.
    static constexpr auto kSpecial = [](std::string_view bytes) {
        std::array<bool, 256> table{};
        for (const char c : bytes) {
            table[static_cast<unsigned char>(c)] = true;
        }
        return table;
    };
    static constexpr std::array<bool, 256> kText = kSpecial("\r\n\\;,");
    static constexpr std::array<bool, 256> kUri = kSpecial("\r\n");
    const std::array<bool, 256>& special = type == ValueType::Uri ? kUri : kText;
    std::size_t run = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (!special[static_cast<unsigned char>(c)]) {
            continue;
        }
        out.append(value.data() + run, i - run);
        if (c == '\r' || c == '\n') {
            out += "\\n";
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += '\\';
            out += c;
        }
        run = i + 1;
    }
    out.append(value.data() + run, value.size() - run);
}

// A line of one value, given only when the value is there.
void single(LineSink& sink, std::string_view name, TypeList types, std::string_view value,
            ValueType type = ValueType::Text) {
    if (!value.empty()) {
        const std::string_view values[] = {value};
        sink.line({name, types, values, ';', type});
    }
}

// A telephone number as the card writes it.
void telephone(LineSink& sink, std::string_view name, TypeList types, const std::string& value) {
    if (!value.empty()) {
        std::string buffer;
        single(sink, name, types, vcard::expandedExponent(value, buffer), ValueType::Telephone);
    }
}

// The street component: the first street line, and the second after a line break.
std::string streetLines(const std::string& street, const std::string& street2) {
    if (street2.empty()) {
        return street;
    }
    return street.empty() ? street2 : street + "\n" + street2;
}

// The ADR line of a named address: its parts where there are any, else the
// address in one piece as the street.
void namedAddress(LineSink& sink, const ContactRecord& r, TypeList types,
                  const AddressBlock& block) {
    const auto part = [&](Position p) -> const std::string& { return namedValue(r, p); };
    const std::string& secondStreet = part(block.street2);
    if (!part(block.street).empty() || !secondStreet.empty() || !part(block.city).empty() ||
        !part(block.region).empty() || !part(block.postalCode).empty() ||
        !part(block.country).empty()) {
        const std::string street = streetLines(part(block.street), secondStreet);
        std::string buffer;
        const std::string_view postalCode = vcard::expandedExponent(part(block.postalCode), buffer);
        const std::string_view values[] = {
            "", "", street, part(block.city), part(block.region), postalCode, part(block.country)};
        sink.line({lineOf(Kind::Address), types, values});
    } else if (!part(block.formatted).empty()) {
        const std::string_view values[] = {"", "", part(block.formatted)};
        sink.line({lineOf(Kind::Address), types, values});
    }
}

// True when the word, in any letter case, is the upper-case name.
bool isName(std::string_view word, std::string_view name) {
    return std::equal(word.begin(), word.end(), name.begin(), name.end(),
                      [](char a, char b) { return (a & ~0x20) == b; });
}

// True for a property a further value may name: a plain word that is not one
// of the lines that frame the card.
bool isFreeName(std::string_view name) {
    if (!TypeList::isWord(name)) {
        return false;
    }
    for (const std::string_view line : frame::kLines) {
        if (isName(name, line)) {
            return false;
        }
    }
    return true;
}

// A date value that is no date, which goes into the note instead of its line.
bool isDateText(const std::string& value, dates::DateOrder order) {
    return dates::readDate(value, order).kind == dates::DateKind::Text;
}

// The NOTE value: the notes, then each date value that is no date on a line of
// its own as "Birthday: value" (a further value's own property instead of
// Birthday), so that no reader takes it for a date. `buffer` holds the value
// when it is more than the notes.
const std::string& noteValue(const ContactRecord& r, bool birthdayIsText, std::string& buffer) {
    const std::string& notes = namedValue(r, Notes);
    bool extended = false;
    const auto add = [&](std::string_view label, std::string_view text) {
        if (!extended) {
            buffer = notes;
            extended = true;
        }
        if (!buffer.empty()) {
            buffer += '\n';
        }
        buffer.append(label).append(": ").append(text);
    };
    if (birthdayIsText) {
        add(nameOf(Birthday), namedValue(r, Birthday));
    }
    for (const TypedValue& v : r.more) {
        if (v.kind == ValueKind::Date && isFreeName(v.name) && isDateText(v.value, r.dateOrder)) {
            add(isName(v.name, descriptorOf(Birthday).line) ? nameOf(Birthday)
                                                            : std::string_view(v.name),
                v.value);
        }
    }
    return extended ? buffer : notes;
}

// The line of one further value, written the way the named line of its kind
// is; its dates in the record's order.
void furtherLine(LineSink& sink, const TypedValue& v, dates::DateOrder order) {
    switch (v.kind) {
    case ValueKind::Telephone:
        telephone(sink, lineOf(Kind::Phone), TypeList({}, v.types), v.value);
        return;
    case ValueKind::Email:
        single(sink, lineOf(Kind::Email), TypeList(types::kInternet, v.types), v.value);
        return;
    case ValueKind::WebPage:
        single(sink, lineOf(Kind::Web), TypeList({}, v.types), v.value, ValueType::Uri);
        return;
    case ValueKind::Address: {
        if (std::all_of(v.address.begin(), v.address.end(),
                        [](const std::string& s) { return s.empty(); })) {
            return;
        }
        std::array<std::string_view, kAddressParts> values;
        std::copy(v.address.begin(), v.address.end(), values.begin());
        std::string buffer;
        const std::string_view postalCode = vcard::expandedExponent(v.address[PostalCode], buffer);
        values[PostalCode] = postalCode;
        sink.line({lineOf(Kind::Address), TypeList({}, v.types), values});
        return;
    }
    case ValueKind::Date:
        if (const auto read = dates::readDate(v.value, order);
            isFreeName(v.name) && read.kind == dates::DateKind::Date) {
            single(sink, v.name, TypeList({}, v.types), dates::isoDate(read.date), ValueType::Date);
        }
        return;
    case ValueKind::Text:
        if (isFreeName(v.name)) {
            single(sink, v.name, TypeList({}, v.types), v.value);
        }
        return;
    }
}

// The first value of the kind among the further values.
const std::string* firstFurther(const ContactRecord& r, ValueKind kind) {
    for (const TypedValue& v : r.more) {
        if (v.kind == kind && !v.value.empty()) {
            return &v.value;
        }
    }
    return nullptr;
}

} // namespace

bool TypeList::isWord(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '-';
    });
}

bool TypeList::isFixed(std::string_view type) const {
    return std::find(fixed_.begin(), fixed_.end(), type) != fixed_.end();
}

void appendValues(std::string& out, const CardLine& line) {
    for (std::size_t i = 0; i < line.values.size(); ++i) {
        if (i > 0) {
            out += line.separator;
        }
        appendEscaped(out, line.values[i], line.type);
    }
}

const std::string& namedValue(const ContactRecord& record, Position position) {
    static const std::string kEmpty;
    return position < record.named.size() ? record.named[position] : kEmpty;
}

void requireNamedValues(const ContactRecord& record) {
    if (record.named.size() < kPairedInOrder) {
        throw std::out_of_range(
            text::fill("record holds %d values, %d needed", record.named.size(), kPairedInOrder));
    }
}

bool recordIsEmpty(const ContactRecord& r) {
    const auto empty = [](const std::string& s) { return s.empty(); };
    return std::all_of(r.named.begin(), r.named.end(), empty) &&
           std::all_of(r.more.begin(), r.more.end(), [&](const TypedValue& v) {
               return v.value.empty() && std::all_of(v.address.begin(), v.address.end(), empty);
           });
}

void contactLines(const ContactRecord& r, LineSink& sink, bool departmentAlone) {
    const auto value = [&r](Position p) -> const std::string& { return namedValue(r, p); };
    dates::ReadDate birthday{dates::DateKind::Placeholder, {}};
    for (const Position p : kLineOrder) {
        const Descriptor& d = descriptorOf(p);
        switch (d.kind) {
        case Kind::Organisation:
            if (!value(Company).empty() || (departmentAlone && !value(Department).empty())) {
                const std::string_view values[] = {value(Company), value(Department)};
                sink.line({d.line, d.types, std::span(values, value(Department).empty() ? 1 : 2)});
            }
            break;
        case Kind::Address:
            namedAddress(sink, r, d.types, *addressBlock(d.place));
            break;
        case Kind::Phone:
            telephone(sink, d.line, d.types, value(p));
            break;
        case Kind::Web:
            single(sink, d.line, d.types, value(p), ValueType::Uri);
            break;
        case Kind::Date:
            birthday = dates::readDate(value(p), r.dateOrder);
            if (birthday.kind == dates::DateKind::Date) {
                single(sink, d.line, d.types, dates::isoDate(birthday.date), ValueType::Date);
            }
            break;
        case Kind::Categories:
            if (const auto groups = vcard::categoryGroups(value(p)); !groups.empty()) {
                sink.line({d.line, d.types, groups, ','});
            }
            break;
        case Kind::Note: {
            std::string note;
            single(sink, d.line, d.types,
                   noteValue(r, birthday.kind == dates::DateKind::Text, note));
            break;
        }
        case Kind::Name:
        case Kind::Job:
        case Kind::Email:
            single(sink, d.line, d.types, value(p));
            break;
        }
    }
    for (const TypedValue& further : r.more) {
        furtherLine(sink, further, r.dateOrder);
    }
}

void appendCardStart(std::string& out, std::string_view version, std::string_view end) {
    out.append(frame::kBegin).append(":VCARD").append(end);
    out.append(frame::kVersion).append(":").append(version).append(end);
}

void appendCardEnd(std::string& out, std::string_view end) {
    out.append(frame::kEnd).append(":VCARD").append(end);
}

std::string formattedName(const ContactRecord& r) {
    if (const std::string& full = namedValue(r, FullName); !full.empty()) {
        return full;
    }
    std::string names;
    for (const auto p : {FirstName, MiddleName, LastName}) {
        if (const std::string& name = namedValue(r, p); !name.empty()) {
            names += names.empty() ? name : " " + name;
        }
    }
    if (!names.empty()) {
        return names;
    }
    if (const std::string& company = namedValue(r, Company); !company.empty()) {
        return company;
    }
    for (const Position email : kOfKind<Kind::Email>) {
        if (const std::string& address = namedValue(r, email); !address.empty()) {
            return address;
        }
    }
    if (const std::string* address = firstFurther(r, ValueKind::Email)) {
        return *address;
    }
    for (const Position phone : kOfKind<Kind::Phone>) {
        if (const std::string& number = namedValue(r, phone); !number.empty()) {
            return vcard::expandExponent(number);
        }
    }
    if (const std::string* number = firstFurther(r, ValueKind::Telephone)) {
        return vcard::expandExponent(*number);
    }
    // Any other value rather than an empty name.
    for (const auto p :
         {Nickname, BusinessWebPage, PersonalWebPage, JobTitle, Department, Notes, Categories}) {
        if (const std::string& value = namedValue(r, p); !value.empty()) {
            return value;
        }
    }
    for (const std::string& value : r.named) {
        if (!value.empty()) {
            return value;
        }
    }
    for (const TypedValue& v : r.more) {
        if (!v.value.empty()) {
            return v.value;
        }
        for (const std::string& part : v.address) {
            if (!part.empty()) {
                return part;
            }
        }
    }
    return {};
}

void wholeCardLines(const ContactRecord& r, LineSink& sink, std::string_view uid) {
    const std::string fn = formattedName(r);
    const std::string_view fnValues[] = {fn};
    sink.line({descriptorOf(FullName).line, {}, fnValues});
    const std::string_view nValues[] = {namedValue(r, LastName), namedValue(r, FirstName),
                                        namedValue(r, MiddleName), namedValue(r, Title),
                                        namedValue(r, NameSuffix)};
    sink.line({descriptorOf(LastName).line, {}, nValues});
    contactLines(r, sink, true);
    const std::string_view uidValues[] = {uid};
    sink.line({frame::kUid, {}, uidValues, ';', ValueType::Uri});
}
