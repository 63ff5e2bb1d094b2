#include "engine/cards/ClassicCard.h"

#include "engine/cards/CardLines.h"

using namespace property;

namespace {

// Writes each line as "NAME;type=A;type=B:value" after a line feed.
class ClassicLines final : public LineSink {
public:
    explicit ClassicLines(std::string& out) : out_(out) {}

    void line(const CardLine& line) override {
        out_ += '\n';
        out_ += line.name;
        line.types.forEach([this](std::string_view type) {
            out_ += ";type=";
            out_ += type;
        });
        out_ += ':';
        appendValues(out_, line);
    }

private:
    std::string& out_;
};

// FN and N, for a contact with any part of a name; N has the title's place
// only when there is a title or a suffix.
void nameLines(const ContactRecord& r, LineSink& sink) {
    const std::string& first = namedValue(r, FirstName);
    const std::string& last = namedValue(r, LastName);
    const std::string& middle = namedValue(r, MiddleName);
    const std::string& full = namedValue(r, FullName);
    const std::string& title = namedValue(r, Title);
    const std::string& suffix = namedValue(r, NameSuffix);
    if (first.empty() && last.empty() && middle.empty() && full.empty() && suffix.empty()) {
        return;
    }
    if (full.empty()) {
        const std::string_view spoken[] = {first, last};
        sink.line({descriptorOf(FullName).line, {}, spoken, ' '});
    } else {
        const std::string_view values[] = {full};
        sink.line({descriptorOf(FullName).line, {}, values});
    }
    if (!title.empty() || !suffix.empty()) {
        const std::string_view values[] = {last, first, middle, title, suffix};
        sink.line({descriptorOf(LastName).line, {}, values});
    } else {
        const std::string_view values[] = {last, first, middle, suffix};
        sink.line({descriptorOf(LastName).line, {}, values});
    }
}

} // namespace

void ClassicCard::writeInto(std::string& out, const ContactRecord& record, std::string_view) const {
    requireNamedValues(record);
    out += "begin:vcard\nversion:";
    out += version_;
    ClassicLines lines(out);
    nameLines(record, lines);
    contactLines(record, lines);
    out += "\nend:vcard";
}

const CardWriter& classicCardWriter() {
    static const ClassicCard writer("3.0");
    return writer;
}
