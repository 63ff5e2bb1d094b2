// Lines as readers of vCard 3.0 and 4.0 take them: at most 75 octets, each
// ending in CR LF, a longer one continued on lines that start with one blank.
#pragma once

#include "engine/cards/CardLines.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace vcard {

inline constexpr std::size_t kFoldLimit = 75;

// LF-separated lines as CR LF lines, each cut into lines of at most 75 octets
// (the continuations starting with one blank), never inside a UTF-8 character.
// An empty text is one empty line.
std::string foldLines(std::string_view text);

} // namespace vcard

// A sink that folds each line its format writes and ends it in CR LF.
class FoldedLines : public LineSink {
public:
    explicit FoldedLines(std::string& out) : out_(out) {}

    void line(const CardLine& line) final;

protected:
    ~FoldedLines() = default;
    // Appends the line's head, its colon and its value.
    virtual void writeLine(const CardLine& line) = 0;

    std::string& out_;
};
