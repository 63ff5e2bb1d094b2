// Cards that strict readers accept: upper-case BEGIN, VERSION and END, an FN
// and a five-part N on every card, a UID, each line ending in CR LF and folded
// at 75 octets.
#include "engine/cards/CardLines.h"
#include "engine/cards/CardValues.h"
#include "engine/cards/CardWriter.h"
#include "engine/cards/VCard.h"

using namespace property;

namespace {

constexpr std::size_t kFoldLimit = 75;

// Appends the line cut into pieces of at most 75 octets, each but the last
// ending in CR LF and the next starting with one blank; never inside a UTF-8
// character.
void appendFolded(std::string& out, std::string_view line) {
    std::size_t limit = kFoldLimit;
    while (line.size() > limit) {
        std::size_t cut = limit;
        // Back up over UTF-8 continuation bytes.
        while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        limit = kFoldLimit - 1; // the blank that starts the next line counts
    }
    out.append(line);
}

// Writes each line as "NAME;type=A:value", folded, ending in CR LF.
class StrictLines final : public LineSink {
public:
    explicit StrictLines(std::string& out) : out_(out) {}

    // A long line is written first and folded only when it is too long: most
    // lines need no second copy.
    void line(const CardLine& line) override {
        const std::size_t start = out_.size();
        out_ += line.name;
        line.types.forEach([this](std::string_view type) {
            out_ += ";type=";
            out_ += type;
        });
        out_ += ':';
        appendValues(out_, line);
        if (out_.size() - start > kFoldLimit) {
            const std::string whole = out_.substr(start);
            out_.resize(start);
            appendFolded(out_, whole);
        }
        out_ += "\r\n";
    }

private:
    std::string& out_;
};

// The first value of the kind among the further values.
const std::string* firstFurther(const ContactRecord& r, ValueKind kind) {
    for (const TypedValue& v : r.more) {
        if (v.kind == kind && !v.value.empty()) {
            return &v.value;
        }
    }
    return nullptr;
}

// FN: the full name, else the names, else the company, else the first e-mail
// address, else the first telephone number (named ones before further ones).
std::string fullName(const ContactRecord& r) {
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

class StrictCard final : public CardWriter {
public:
    // FN and N always, the shared lines, then the UID.
    void writeInto(std::string& out, const ContactRecord& r, std::string_view uid) const override {
        requireNamedValues(r);
        out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
        StrictLines lines(out);
        const std::string fn = fullName(r);
        const std::string_view fnValues[] = {fn};
        lines.line({descriptorOf(FullName).line, {}, fnValues});
        const std::string_view nValues[] = {namedValue(r, LastName), namedValue(r, FirstName),
                                            namedValue(r, MiddleName), namedValue(r, Title),
                                            namedValue(r, NameSuffix)};
        lines.line({descriptorOf(LastName).line, {}, nValues});
        contactLines(r, lines, true);
        const std::string_view uidValues[] = {uid};
        lines.line({"UID", {}, uidValues});
        out += "END:VCARD\r\n";
    }

    bool needsUid() const override { return true; }
    bool writesEmptyCards() const override { return false; }
};

} // namespace

const CardWriter& strictCardWriter() {
    static const StrictCard writer;
    return writer;
}

std::string vcard::foldLines(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 8);
    while (true) {
        const auto end = text.find('\n');
        appendFolded(out, text.substr(0, end));
        out += "\r\n";
        if (end == std::string_view::npos) {
            return out;
        }
        text.remove_prefix(end + 1);
    }
}
