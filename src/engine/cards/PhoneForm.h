// Telephone numbers rewritten into one form on their way into the cards. The
// form is a library's knowledge of numbering plans, which the engine does not
// link: a shell hands the run an object of this interface (src/phone), and the
// engine calls it for each telephone value.
#pragma once

#include "engine/cards/ContactRecord.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class PhoneForm {
public:
    virtual ~PhoneForm() = default;

    // The number in international form ("+49 171 1234567"); none when it is
    // not a valid number. Called from several threads at once.
    virtual std::optional<std::string> international(std::string_view number) const = 0;
};

// Rewrites every telephone value of the record, named and further, into the
// form's international form; a value the form cannot read stays as it was.
// Answers how many values stayed.
std::size_t writeTelephonesInternational(ContactRecord& record, const PhoneForm& form);
