// Cards in vCard 4.0 (RFC 6350), which current address books and servers
// prefer: the strict card's lines with lower-case TYPE values, telephone
// numbers in international form as tel: URIs, dates in the basic form, a KIND
// and a urn:uuid UID.
#include "engine/cards/CardLines.h"
#include "engine/cards/CardWriter.h"
#include "engine/cards/Folding.h"

#include <algorithm>

using namespace property;

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// True for a number in international form: "+", a digit, then only digits
// and single blanks, hyphens or dots between them, at most fifteen digits.
bool isInternational(std::string_view number) {
    if (number.size() < 2 || number[0] != '+' || !isDigit(number[1]) || !isDigit(number.back())) {
        return false;
    }
    std::size_t digits = 0;
    for (std::size_t i = 1; i < number.size(); ++i) {
        if (isDigit(number[i])) {
            ++digits;
        } else if ((number[i] != ' ' && number[i] != '-' && number[i] != '.') ||
                   !isDigit(number[i - 1])) {
            return false;
        }
    }
    return digits <= 15;
}

// The number as a tel: URI, whose only separator between digits is "-":
// "+49 171 1234567" gives "tel:+49-171-1234567".
void appendTelUri(std::string& out, std::string_view number) {
    out += "tel:";
    for (const char c : number) {
        out += c == ' ' || c == '.' ? '-' : c;
    }
}

// An ISO 8601 date in the basic form RFC 6350 writes: "1990-03-14" gives
// "19900314", "--03-14" gives "--0314".
void appendBasicDate(std::string& out, std::string_view date) {
    const bool yearless = date.starts_with("--");
    if (yearless) {
        out += "--";
        date.remove_prefix(2);
    }
    for (const char c : date) {
        if (c != '-') {
            out += c;
        }
    }
}

void appendLower(std::string& out, std::string_view word) {
    for (const char c : word) {
        out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
}

// Writes each line as "NAME;TYPE=a,b:value"; a preferred value has PREF=1,
// and e-mail addresses need no type to say they are on the Internet.
class Lines40 final : public FoldedLines {
public:
    using FoldedLines::FoldedLines;

private:
    void writeLine(const CardLine& line) override {
        out_ += line.name;
        bool preferred = false;
        std::string_view separator = ";TYPE=";
        line.types.forEach([&](std::string_view type) {
            if (type == types::kInternetType) {
                return;
            }
            if (type == types::kPrefType) {
                preferred = true;
                return;
            }
            out_ += separator;
            appendLower(out_, type);
            separator = ",";
        });
        if (preferred) {
            out_ += ";PREF=1";
        }
        const bool one = line.values.size() == 1;
        if (one && line.type == ValueType::Telephone && isInternational(line.values[0])) {
            out_ += ";VALUE=uri:";
            appendTelUri(out_, line.values[0]);
            return;
        }
        out_ += ':';
        if (one && line.type == ValueType::Date) {
            appendBasicDate(out_, line.values[0]);
            return;
        }
        appendValues(out_, line);
    }
};

// True when the card stands for a company: it has one, and no part of a name.
bool isOrganisation(const ContactRecord& r) {
    return !namedValue(r, Company).empty() &&
           std::all_of(kOfKind<Kind::Name>.begin(), kOfKind<Kind::Name>.end(),
                       [&r](Position p) { return namedValue(r, p).empty(); });
}

class Version40Card final : public WholeCardWriter {
public:
    Version40Card() : WholeCardWriter("4.0") {}

private:
    // KIND first, then the lines every whole card has, with a urn:uuid UID.
    void writeBody(std::string& out, const ContactRecord& r, std::string_view uid) const override {
        Lines40 lines(out);
        const std::string_view kind[] = {isOrganisation(r) ? "org" : "individual"};
        lines.line({frame::kKind, {}, kind});
        std::string urn = "urn:uuid:";
        urn += uid;
        wholeCardLines(r, lines, urn);
    }
};

} // namespace

const CardWriter& version40CardWriter() {
    static const Version40Card writer;
    return writer;
}
