// Telephone numbers in international form by libphonenumber's numbering
// plans, for the engine's PhoneForm.
#pragma once

#include "engine/cards/PhoneForm.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace phone {

class InternationalNumbers final : public PhoneForm {
public:
    // Numbers without a country are read as numbers of `region`, an ISO 3166
    // code of knownRegions().
    explicit InternationalNumbers(std::string_view region);

    // "+49 171 1234567" for "0171 1234567" in Germany, for "171 1234567" (a
    // spreadsheet dropped its zero) and for "0049 171 1234567" anywhere; none
    // for a number that is not valid.
    std::optional<std::string> international(std::string_view number) const override;

private:
    std::string region_;
};

// The regions whose numbering plans are known, as upper-case ISO 3166 codes, sorted.
std::vector<std::string> knownRegions();

// The upper-case code of a known region given in any letter case; none for another text.
std::optional<std::string> knownRegion(std::string_view code);

} // namespace phone
