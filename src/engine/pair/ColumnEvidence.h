// A column's meaning from its name and its values together. The words decide
// where the values are ambiguous (digits that could be a telephone number or
// a postal code); values of one strong shape (e-mail addresses, web
// addresses, telephone numbers) overrule a word of another kind when nearly
// all of them agree, and values that cannot be what the words say keep a
// column off a line of that kind.
#pragma once

#include "engine/pair/ColumnMeaning.h"
#include "engine/pair/ValueShapes.h"

#include <string_view>

struct ColumnDecision {
    ColumnMeaning meaning;
    // What decided, as the log and the pair table say it ("its name", "its
    // values are e-mail addresses").
    std::string_view basis;
    // True when the values overruled the words of the name.
    bool againstWords = false;
};

// Weighs the meaning of a column's name against the shapes of its values.
ColumnDecision weighColumn(const ColumnMeaning& byName, const shapes::Profile& values);
