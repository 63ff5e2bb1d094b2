// The vCard 2.1 and 4.0 writers on records of any values: each card, read
// back as its version says (2.1's quoted-printable and escapes, 4.0's folding,
// escapes, tel: URIs and basic dates), gives exactly the lines the writer was
// handed.
#include "FuzzCheck.h"
#include "FuzzRecord.h"
#include "engine/cards/CardLines.h"
#include "engine/cards/CardWriter.h"
#include "engine/cards/ControlCharacters.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// One line as a reader gets it: its name, its types in upper case, its values.
struct ReadLine {
    std::string name;
    std::vector<std::string> types;
    std::vector<std::string> values;
    bool operator==(const ReadLine&) const = default;
};

// Keeps the lines the writers are handed.
class Recorder final : public LineSink {
public:
    void line(const CardLine& line) override {
        ReadLine read{std::string(line.name), {}, {}};
        line.types.forEach([&read](std::string_view t) { read.types.emplace_back(t); });
        for (const std::string_view v : line.values) {
            read.values.push_back(oneLineBreak(v));
        }
        lines.push_back(std::move(read));
        kinds.push_back(line.type);
        separators.push_back(line.separator);
    }
    // CR LF, CR and LF all as LF, as every format writes a line break alike.
    static std::string oneLineBreak(std::string_view v) {
        std::string out;
        for (std::size_t i = 0; i < v.size(); ++i) {
            out += v[i] == '\r' ? '\n' : v[i];
            i += v[i] == '\r' && i + 1 < v.size() && v[i + 1] == '\n' ? 1 : 0;
        }
        return out;
    }
    std::vector<ReadLine> lines;
    std::vector<ValueType> kinds;
    std::vector<char> separators;
};

std::string upper(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return out;
}

// The values of a line split at unescaped separators and unescaped; `escapes`
// are the characters a backslash may stand before.
std::vector<std::string> splitValues(std::string_view text, char separator, bool split,
                                     std::string_view escapes) {
    std::vector<std::string> values(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size() && escapes.find(text[i + 1]) != std::string::npos) {
            const char next = text[++i];
            values.back() += next == 'n' ? '\n' : next;
        } else if (split && c == separator) {
            values.emplace_back();
        } else {
            values.back() += c;
        }
    }
    return values;
}

int hexValue(char c) {
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

// The card's lines after BEGIN and VERSION, before END.
std::vector<std::string_view> cardLines(std::string_view card, std::string_view version) {
    std::vector<std::string_view> out;
    while (!card.empty()) {
        const auto end = card.find("\r\n");
        FUZZ_CHECK(end != std::string_view::npos);
        out.push_back(card.substr(0, end));
        card.remove_prefix(end + 2);
    }
    FUZZ_CHECK(out.size() >= 3 && out[0] == "BEGIN:VCARD" && out[1] == version &&
               out.back() == "END:VCARD");
    return {out.begin() + 2, out.end() - 1};
}

// A 2.1 card read back: quoted-printable values decoded across their soft
// line breaks, backslash and semicolon (and a list's comma) unescaped.
std::vector<ReadLine> read21(std::string_view card, const Recorder& sent) {
    std::vector<ReadLine> lines;
    const auto physical = cardLines(card, "VERSION:2.1");
    for (std::size_t i = 0; i < physical.size(); ++i) {
        std::string line(physical[i]);
        FUZZ_CHECK(
            std::all_of(line.begin(), line.end(), [](char c) { return c >= 0x20 && c < 0x7F; }));
        const auto colon = line.find(':');
        FUZZ_CHECK(colon != std::string::npos);
        std::vector<std::string> head = splitValues(line.substr(0, colon), ';', true, "");
        std::string value = line.substr(colon + 1);
        ReadLine read{head[0], {}, {}};
        bool quoted = false;
        for (std::size_t k = 1; k < head.size(); ++k) {
            if (head[k] == "ENCODING=QUOTED-PRINTABLE") {
                quoted = true;
            } else if (head[k] != "CHARSET=UTF-8") {
                read.types.push_back(head[k]);
            }
        }
        if (quoted) {
            FUZZ_CHECK(line.size() <= 76);
            while (value.ends_with('=')) { // a soft line break
                value.pop_back();
                FUZZ_CHECK(++i < physical.size() && physical[i].size() <= 76);
                value += physical[i];
            }
            std::string decoded;
            for (std::size_t k = 0; k < value.size(); ++k) {
                if (value[k] == '=') {
                    FUZZ_CHECK(k + 2 < value.size());
                    decoded +=
                        static_cast<char>(hexValue(value[k + 1]) * 16 + hexValue(value[k + 2]));
                    k += 2;
                } else {
                    decoded += value[k];
                }
            }
            value = Recorder::oneLineBreak(decoded);
        }
        const std::size_t at = lines.size();
        FUZZ_CHECK(at < sent.lines.size());
        const bool uri = sent.kinds[at] == ValueType::Uri;
        const char separator = sent.separators[at];
        read.values = uri ? std::vector<std::string>{value}
                          : splitValues(value, separator, sent.lines[at].values.size() > 1,
                                        separator == ',' ? "\\;," : "\\;");
        lines.push_back(std::move(read));
    }
    return lines;
}

// A 4.0 card read back: unfolded, types in upper case with PREF=1 as PREF, a
// tel: URI and a basic date as the writer was handed them.
std::vector<ReadLine> read40(std::string_view card, const Recorder& sent,
                             std::vector<bool>& telUris) {
    std::vector<ReadLine> lines;
    std::vector<std::string> logical;
    for (const std::string_view piece : cardLines(card, "VERSION:4.0")) {
        FUZZ_CHECK(piece.size() <= 75);
        if (piece.starts_with(' ')) {
            FUZZ_CHECK(!logical.empty());
            logical.back().append(piece.substr(1));
        } else {
            logical.emplace_back(piece);
        }
    }
    FUZZ_CHECK(!logical.empty() && (logical[0] == "KIND:individual" || logical[0] == "KIND:org"));
    for (std::size_t i = 1; i < logical.size(); ++i) {
        const std::string& line = logical[i];
        const auto colon = line.find(':');
        FUZZ_CHECK(colon != std::string::npos);
        const std::vector<std::string> head = splitValues(line.substr(0, colon), ';', true, "");
        ReadLine read{head[0], {}, {}};
        bool telUri = false;
        for (std::size_t k = 1; k < head.size(); ++k) {
            if (head[k] == "PREF=1") {
                read.types.push_back("PREF");
            } else if (head[k] == "VALUE=uri") {
                telUri = true;
            } else {
                FUZZ_CHECK(head[k].starts_with("TYPE="));
                for (auto& t : splitValues(head[k].substr(5), ',', true, "")) {
                    read.types.push_back(upper(t));
                }
            }
        }
        const std::size_t at = lines.size();
        FUZZ_CHECK(at < sent.lines.size());
        std::string value = line.substr(colon + 1);
        const ValueType kind = sent.kinds[at];
        telUris.push_back(telUri);
        if (telUri) {
            FUZZ_CHECK(kind == ValueType::Telephone && value.starts_with("tel:+"));
            read.values = {value};
        } else if (kind == ValueType::Uri) {
            read.values = splitValues(value, ';', false, "n");
        } else {
            read.values =
                splitValues(value, sent.separators[at], sent.lines[at].values.size() > 1, "\\;,nN");
        }
        lines.push_back(std::move(read));
    }
    return lines;
}

// What a 4.0 reader gets for the lines a writer is handed: no INTERNET type,
// PREF last, international numbers as tel: URIs, dates in the basic form; a
// URI's line breaks are "\n" and nothing else is escaped, as in the strict card,
// so a backslash and "n" in one read as a line break.
std::vector<ReadLine> as40(const Recorder& sent, const std::vector<bool>& telUris) {
    std::vector<ReadLine> want = sent.lines;
    for (std::size_t i = 0; i < want.size() && i < telUris.size(); ++i) {
        auto& types = want[i].types;
        for (std::string& t : types) {
            t = upper(t); // 4.0 writes them in lower case
        }
        std::erase(types, "INTERNET");
        if (std::erase(types, "PREF") > 0) {
            types.push_back("PREF");
        }
        if (sent.kinds[i] == ValueType::Uri) {
            for (std::string& v : want[i].values) {
                for (auto at = v.find("\\n"); at != std::string::npos; at = v.find("\\n", at)) {
                    v.replace(at, 2, "\n");
                }
            }
        } else if (telUris[i]) {
            std::string uri = "tel:";
            for (const char c : want[i].values[0]) {
                uri += c == ' ' || c == '.' ? '-' : c;
            }
            want[i].values = {uri};
        } else if (sent.kinds[i] == ValueType::Date) {
            const std::string& iso = want[i].values[0];
            std::string basic = iso.starts_with("--") ? "--" : "";
            for (std::size_t k = basic.size(); k < iso.size(); ++k) {
                basic += iso[k] == '-' ? "" : std::string(1, iso[k]);
            }
            want[i].values = {basic};
        }
    }
    return want;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The named values first, then further ones, all of them UTF-8.
    ContactRecord record = recordOf(valuesOf(data, size, true));
    dropControlCharacters(record); // as a run does before any card is made
    if (recordIsEmpty(record)) {
        return 0;
    }

    Recorder sent21;
    wholeCardLines(record, sent21, "u-1");
    FUZZ_CHECK(read21(cardWriter(CardFormat::Version21).write(record, "u-1"), sent21) ==
               sent21.lines);

    Recorder sent40;
    wholeCardLines(record, sent40, "urn:uuid:u-1");
    std::vector<bool> telUris;
    const auto read =
        read40(cardWriter(CardFormat::Version40).write(record, "u-1"), sent40, telUris);
    FUZZ_CHECK(read == as40(sent40, telUris));
    return 0;
}
