// Cards that strict readers accept: upper-case BEGIN, VERSION and END, an FN
// and a five-part N on every card, a UID, each line ending in CR LF and folded
// at 75 octets.
#include "engine/cards/CardLines.h"
#include "engine/cards/CardWriter.h"
#include "engine/cards/Folding.h"

using namespace property;

namespace {

// Writes each line as "NAME;type=A:value".
class StrictLines final : public FoldedLines {
public:
    using FoldedLines::FoldedLines;

private:
    void writeLine(const CardLine& line) override {
        out_ += line.name;
        line.types.forEach([this](std::string_view type) {
            out_ += ";type=";
            out_ += type;
        });
        out_ += ':';
        appendValues(out_, line);
    }
};

class StrictCard final : public WholeCardWriter {
public:
    StrictCard() : WholeCardWriter("3.0") {}

private:
    void writeBody(std::string& out, const ContactRecord& r, std::string_view uid) const override {
        StrictLines lines(out);
        wholeCardLines(r, lines, uid);
    }
};

} // namespace

const CardWriter& strictCardWriter() {
    static const StrictCard writer;
    return writer;
}
