// The lines a contact record gives a card, in the order every format writes
// them, with their values: each format only decides how a line looks.
#pragma once

#include "engine/cards/ContactRecord.h"
#include "engine/pair/Properties.h"

#include <span>
#include <string>
#include <string_view>

// The TYPE values of a line: fixed ones of the writer, then the record's own.
class TypeList {
public:
    constexpr TypeList() = default;
    constexpr TypeList(std::span<const std::string_view> fixed) : fixed_(fixed) {}
    template <std::size_t N>
    constexpr TypeList(const std::string_view (&fixed)[N]) : fixed_(fixed) {}
    TypeList(std::span<const std::string_view> fixed, std::span<const std::string> given)
        : fixed_(fixed), given_(given) {}

    // Calls f with each type to write. A given type that is not a plain word of
    // letters, digits and '-' would break the line's head, so it is left out,
    // as is one the fixed types already hold.
    template <class F> void forEach(F&& f) const {
        for (const std::string_view type : fixed_) {
            f(type);
        }
        for (const std::string& type : given_) {
            if (isWord(type) && !isFixed(type)) {
                f(std::string_view(type));
            }
        }
    }

    // True for a non-empty run of ASCII letters, digits and '-'.
    static bool isWord(std::string_view text);

private:
    bool isFixed(std::string_view type) const;

    std::span<const std::string_view> fixed_;
    std::span<const std::string> given_;
};

// What a line's values are: how they are escaped, and which a format writes
// its own way.
enum class ValueType {
    // Backslash, semicolon and comma escaped; line breaks as "\n".
    Text,
    // Only line breaks, as "\n": web addresses keep their commas and semicolons.
    Uri,
    // A date in ISO 8601's extended form, "1990-03-14" or "--03-14"; escaped as text.
    Date,
    // A telephone number; escaped as text.
    Telephone,
};

// One line of a card, its strings borrowed for the time of the call it is
// handed to.
struct CardLine {
    // The vCard property: "TEL", "ADR", "NOTE" ...
    std::string_view name;
    TypeList types;
    // The value's components, written with `separator` between them.
    std::span<const std::string_view> values;
    // ';' between the parts of a structured value, ',' in a list, ' ' between
    // names spoken together.
    char separator = ';';
    ValueType type = ValueType::Text;
};

// Receives a card's lines in order; each format writes them its own way.
class LineSink {
public:
    // Writes one line.
    virtual void line(const CardLine& line) = 0;

protected:
    ~LineSink() = default;
};

// Appends the line's values, escaped and separated, as every format writes them.
void appendValues(std::string& out, const CardLine& line);

// The record's value of the property; empty for a property beyond the values
// of a record that holds only the first property::kPairedInOrder.
const std::string& namedValue(const ContactRecord& record, property::Position position);

// Throws std::out_of_range for a record of fewer than property::kPairedInOrder values.
void requireNamedValues(const ContactRecord& record);

// "BEGIN:VCARD" and "VERSION:" with the version, each line ending in `end`.
void appendCardStart(std::string& out, std::string_view version, std::string_view end);
// "END:VCARD" and `end`.
void appendCardEnd(std::string& out, std::string_view end);

// The FN value a card that must name its contact has: the full name, else the
// names, else the company, else the first e-mail address, else the first
// telephone number (named ones before further ones), else any other value.
std::string formattedName(const ContactRecord& record);

// Every line of a whole card after its frame's start: FN and a five-part N
// whatever the record holds, the lines of contactLines (a department alone
// included), then the UID line with `uid`.
void wholeCardLines(const ContactRecord& record, LineSink& sink, std::string_view uid);

// Hands the sink every line after the name lines (each format writes those
// itself): the named properties' lines from TITLE to NOTE, then one line for
// each further value, in the record's order. A line is given only for values
// that are there. A department without a company has an ORG line (";Sales")
// only when `departmentAlone` asks for it.
void contactLines(const ContactRecord& record, LineSink& sink, bool departmentAlone = false);

// True when the record holds no value at all, named or further.
bool recordIsEmpty(const ContactRecord& record);
