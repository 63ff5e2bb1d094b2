// Numbers as the sample exports of the seven languages write them, each with
// the region a user there would choose.
#include "engine/cards/PhoneForm.h"
#include "phone/InternationalNumbers.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Case {
    const char* region;
    const char* number;
    const char* international; // nullptr: not a valid number, kept as written
};

constexpr Case kCases[] = {
    {"DE", "0711 5550123", "+49 711 5550123"},
    {"DE", "030 5550 1899", "+49 30 55501899"},
    {"DE", "171 5550101", "+49 171 5550101"}, // a spreadsheet dropped the leading zero
    {"DE", "+49 151 55501234", "+49 1515 5501234"},
    {"DE", "0044 20 7946 0958", "+44 20 7946 0958"},
    {"GB", "020 7946 0958", "+44 20 7946 0958"},
    {"US", "0044 20 7946 0958", "+44 20 7946 0958"}, // "00" without being North America's way out
    {"US", "(415) 555-2671", "+1 415-555-2671"},
    {"US", "555-0100", nullptr},
    {"FR", "06 12 55 01 02", "+33 6 12 55 01 02"},
    {"FR", "01 45 55 02 30", "+33 1 45 55 02 30"},
    {"ES", "34612550101", "+34 612 55 01 01"},
    {"ES", "612 55 01 01", "+34 612 55 01 01"},
    {"IT", "055 555 0112", "+39 055 555 0112"},
    {"IT", "333 555 0101", "+39 333 555 0101"},
    {"NL", "06-12345678", "+31 6 12345678"},
    {"NL", "612345678", "+31 6 12345678"},
    {"NL", "030 555 0179", "+31 30 555 0179"},
    {"BR", "+55 11 98765-4321", "+55 11 98765-4321"},
    {"BR", "(11) 98765-4321", "+55 11 98765-4321"},
    {"PT", "912 000 111", "+351 912 000 111"},
    {"DE", "12", nullptr},
    {"DE", "ext. 12", nullptr},
    {"DE", "call me", nullptr},
};

} // namespace

TEST(InternationalNumbers, SampleNumbersOfSevenLanguages) {
    for (const Case& c : kCases) {
        const phone::InternationalNumbers form(c.region);
        const auto got = form.international(c.number);
        if (c.international == nullptr) {
            EXPECT_FALSE(got.has_value()) << c.region << " " << c.number << " -> " << *got;
        } else {
            EXPECT_EQ(got.value_or("none"), c.international) << c.region << " " << c.number;
        }
    }
}

TEST(InternationalNumbers, RegionsInAnyLetterCase) {
    EXPECT_EQ(phone::knownRegion("de").value_or(""), "DE");
    EXPECT_EQ(phone::knownRegion("Gb").value_or(""), "GB");
    EXPECT_FALSE(phone::knownRegion("XX").has_value());
    EXPECT_FALSE(phone::knownRegion("").has_value());
    EXPECT_FALSE(phone::knownRegion("DEU").has_value());
    const auto regions = phone::knownRegions();
    EXPECT_GT(regions.size(), 200u);
    EXPECT_TRUE(std::is_sorted(regions.begin(), regions.end()));
}
