#include "phone/InternationalNumbers.h"

#include <phonenumbers/phonenumberutil.h>

#include <algorithm>
#include <cctype>
#include <set>

namespace phone {

namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

const PhoneNumberUtil& numbering() {
    return *PhoneNumberUtil::GetInstance();
}

std::optional<std::string> validInternational(const std::string& number,
                                              const std::string& region) {
    PhoneNumber parsed;
    if (numbering().Parse(number, region, &parsed) != PhoneNumberUtil::NO_PARSING_ERROR ||
        !numbering().IsValidNumber(parsed)) {
        return std::nullopt;
    }
    std::string out;
    numbering().Format(parsed, PhoneNumberUtil::INTERNATIONAL, &out);
    return out;
}

} // namespace

InternationalNumbers::InternationalNumbers(std::string_view region) : region_(region) {}

std::optional<std::string> InternationalNumbers::international(std::string_view number) const {
    const std::string text(number);
    if (auto found = validInternational(text, region_)) {
        return found;
    }
    // "00" starts an international number in most of the world, also where
    // the region dials out otherwise (011 in North America).
    const auto first = text.find_first_not_of(" \t");
    if (first != std::string::npos && text.compare(first, 2, "00") == 0) {
        std::string withPlus(1, '+');
        withPlus.append(text, first + 2);
        return validInternational(withPlus, region_);
    }
    return std::nullopt;
}

std::vector<std::string> knownRegions() {
    std::set<std::string> regions;
    numbering().GetSupportedRegions(&regions);
    return {regions.begin(), regions.end()};
}

std::optional<std::string> knownRegion(std::string_view code) {
    std::string upper(code);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const auto regions = knownRegions();
    if (std::binary_search(regions.begin(), regions.end(), upper)) {
        return upper;
    }
    return std::nullopt;
}

} // namespace phone
