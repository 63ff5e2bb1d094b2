// The pairing of a file as a small text a person can read and edit, so that
// the same columns can be paired again without doing it by hand: one line a
// pair, PROPERTY=HEADER as olvenmark-cli's --map takes it; "typed=HEADER" for a
// typed value group, "carried=HEADER" for a column carried by its position and
// "joined=HEADERS" for columns whose values join another's (each named by the
// column the pair table shows for it); the same lines
// behind a "-" for what the user removed, so that pairing by names leaves it
// out. Blank lines and lines starting with "#" are passed over; a backslash
// and a line break in a name are written "\\" and "\n".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ExportSession;

// One line of the text.
struct PairLine {
    enum class Kind { Pair, Typed, Carried, Joined };
    Kind kind = Kind::Pair;
    // The vCard property of a pair; empty for the other kinds.
    std::string property;
    // The column's name as the header row has it.
    std::string header;
    // Where the line stands in the text it was read from; 0 for none.
    std::size_t lineNumber = 0;
};

// The lines of a pairing text, in order.
struct PairsFile {
    // The pairs in the order they were made, then the typed groups and the
    // carried columns.
    std::vector<PairLine> kept;
    // What the user removed since the file was loaded.
    std::vector<PairLine> removed;
};

// What reading a text came to: the lines, or the first one that cannot be read.
struct PairsRead {
    std::optional<PairsFile> pairs;
    std::string error;
};

// The text of the session's pairs, carried rows and removals.
std::string writePairsText(const ExportSession& session);
// Reads a pairing text; an error names the line ("line 3: ...").
PairsRead readPairsText(std::string_view text);
// Forgets the session's pairs and makes those of the file in the loaded
// session, as far as its header row allows; an empty text, or the first line
// it does not fit ("line 2: no column named 'Mail' in the header row").
std::string applyPairsFile(ExportSession& session, const PairsFile& pairs);
