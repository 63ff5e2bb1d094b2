#include "engine/cards/Folding.h"

namespace {

// Appends the line cut into pieces of at most 75 octets, each but the last
// ending in CR LF and the next starting with one blank; never inside a UTF-8
// character.
void appendFolded(std::string& out, std::string_view line) {
    std::size_t limit = vcard::kFoldLimit;
    while (line.size() > limit) {
        std::size_t cut = limit;
        // Back up over UTF-8 continuation bytes.
        while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        limit = vcard::kFoldLimit - 1; // the blank that starts the next line counts
    }
    out.append(line);
}

} // namespace

// A long line is written first and folded only when it is too long: most
// lines need no second copy.
void FoldedLines::line(const CardLine& line) {
    const std::size_t start = out_.size();
    writeLine(line);
    if (out_.size() - start > vcard::kFoldLimit) {
        const std::string whole = out_.substr(start);
        out_.resize(start);
        appendFolded(out_, whole);
    }
    out_ += "\r\n";
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
