// Cards in vCard 2.1, which Outlook's import, many phones and car kits read:
// the strict card's lines with bare TYPE parameters ("TEL;WORK;FAX:"), a value
// outside printable ASCII (accents, line breaks) in quoted-printable UTF-8, no
// other folding, CR LF.
#include "engine/cards/CardLines.h"
#include "engine/cards/CardWriter.h"
#include "engine/cards/QuotedPrintable.h"

using namespace property;

namespace {

bool isPrintable(unsigned char c) {
    return c >= 0x20 && c < 0x7F;
}

// Appends the values with what separates them escaped: backslash and
// semicolon, and the comma in a list. Web addresses go as they are.
void appendValues21(std::string& out, const CardLine& line) {
    for (std::size_t i = 0; i < line.values.size(); ++i) {
        if (i > 0) {
            out += line.separator;
        }
        if (line.type == ValueType::Uri) {
            out += line.values[i];
            continue;
        }
        for (const char c : line.values[i]) {
            if (c == '\\' || c == ';' || (c == ',' && line.separator == ',')) {
                out += '\\';
            }
            out += c;
        }
    }
}

// Writes each line as "NAME;A;B:value" on one line, or, for a value with a
// byte outside printable ASCII, "NAME;A;B;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:"
// and the value in quoted-printable.
class Lines21 final : public LineSink {
public:
    explicit Lines21(std::string& out) : out_(out) {}

    void line(const CardLine& line) override {
        const std::size_t start = out_.size();
        out_ += line.name;
        line.types.forEach([this](std::string_view type) {
            out_ += ';';
            out_ += type;
        });
        const std::size_t head = out_.size();
        out_ += ':';
        appendValues21(out_, line);
        for (std::size_t i = head + 1; i < out_.size(); ++i) {
            if (!isPrintable(static_cast<unsigned char>(out_[i]))) {
                value_.assign(out_, head + 1);
                out_.resize(head);
                out_ += ";CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:";
                vcard::appendQuotedPrintable(out_, value_, out_.size() - start);
                break;
            }
        }
        out_ += "\r\n";
    }

private:
    std::string& out_;
    // The escaped value of a line that needs encoding.
    std::string value_;
};

class Version21Card final : public WholeCardWriter {
public:
    Version21Card() : WholeCardWriter("2.1") {}

private:
    void writeBody(std::string& out, const ContactRecord& r, std::string_view uid) const override {
        Lines21 lines(out);
        wholeCardLines(r, lines, uid);
    }
};

} // namespace

const CardWriter& version21CardWriter() {
    static const Version21Card writer;
    return writer;
}
