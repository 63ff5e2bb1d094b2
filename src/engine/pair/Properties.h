// The table of vCard properties: one row per property, in record order. A
// row says what the property holds (kind, qualifier, place), which vCard line
// it is written on with which TYPE parameters, and where that line comes
// among the card's lines. Every other list of properties is derived from it:
// adding a property is one row here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace property {

enum Position : std::size_t {
    FirstName,
    LastName,
    MiddleName,
    Title,
    FullName,
    JobTitle,
    Company,
    Department,
    BusinessAddress,
    BusinessAddressStreet,
    BusinessAddressCity,
    BusinessAddressState,
    BusinessAddressPostalCode,
    BusinessAddressCountry,
    BusinessFaxNumber,
    BusinessTelephoneNumber,
    BusinessWebPage,
    HomeAddress,
    HomeAddressStreet,
    HomeAddressCity,
    HomeAddressState,
    HomeAddressPostalCode,
    HomeAddressCountry,
    HomeFaxNumber,
    HomeTelephoneNumber,
    PersonalWebPage,
    MobileNumber,
    EmailAddressWork,
    EmailAddressHome,
    EmailAddressOther,
    // The first 30 are the original set; the ones below were added later.
    NameSuffix,
    Nickname,
    Birthday,
    Notes,
    Categories,
    EmailAddress2,
    EmailAddress3,
    OtherTelephoneNumber,
    PagerNumber,
    CarTelephoneNumber,
    AssistantTelephoneNumber,
    CompanyMainTelephoneNumber,
    BusinessAddressStreet2,
    HomeAddressStreet2,
    CallbackTelephoneNumber,
    ISDNNumber,
    RadioTelephoneNumber,
    TTYTDDTelephoneNumber,
    OtherFaxNumber,
    kCount
};

// What a property holds.
enum class Kind : std::uint8_t {
    Name,
    Organisation,
    Job,
    Address,
    Phone,
    Email,
    Web,
    Date,
    Note,
    Categories,
};

// Which one of its kind a property is.
enum class Qualifier : std::uint8_t {
    None,
    // Parts of a name.
    Given,
    Family,
    Middle,
    Prefix,
    Suffix,
    Full,
    Nick,
    // Parts of an organisation.
    Company,
    Department,
    // Parts of an address: the whole address in one value, then its components.
    Formatted,
    PoBox,
    Street,
    Street2,
    City,
    Region,
    PostalCode,
    Country,
    // Telephones beyond a plain voice line.
    Cell,
    Fax,
    Pager,
    Car,
    Main,
    Assistant,
    Callback,
    Isdn,
    Radio,
    Tty,
    Video,
    Modem,
    Bbs,
    Message,
    // E-mail addresses known only by their number.
    Second,
    Third,
};

// Whose place a value is: the contact's work, home, or another one. An
// address part's place is the address it belongs to.
enum class Place : std::uint8_t { None, Work, Home, Other };

// TYPE parameters, in the order a line writes them.
namespace types {
// The two a format may write its own way: a preferred value, and the type
// every e-mail address of the Internet has.
inline constexpr std::string_view kPrefType = "PREF";
inline constexpr std::string_view kInternetType = "INTERNET";
inline constexpr std::string_view kWork[] = {"WORK"};
inline constexpr std::string_view kHome[] = {"HOME"};
inline constexpr std::string_view kWorkFax[] = {"WORK", "FAX"};
inline constexpr std::string_view kHomeFax[] = {"HOME", "FAX"};
inline constexpr std::string_view kFax[] = {"FAX"};
inline constexpr std::string_view kCell[] = {"CELL"};
inline constexpr std::string_view kVoice[] = {"VOICE"};
inline constexpr std::string_view kPager[] = {"PAGER"};
inline constexpr std::string_view kCar[] = {"CAR"};
inline constexpr std::string_view kIsdn[] = {"ISDN"};
inline constexpr std::string_view kVideo[] = {"VIDEO"};
inline constexpr std::string_view kModem[] = {"MODEM"};
inline constexpr std::string_view kBbs[] = {"BBS"};
inline constexpr std::string_view kMessage[] = {"MSG"};
inline constexpr std::string_view kAssistant[] = {"VOICE", "X-ASSISTANT"};
inline constexpr std::string_view kCallback[] = {"VOICE", "X-CALLBACK"};
inline constexpr std::string_view kRadio[] = {"VOICE", "X-RADIO"};
inline constexpr std::string_view kTty[] = {"VOICE", "X-TTY"};
inline constexpr std::string_view kWorkPref[] = {"WORK", kPrefType};
inline constexpr std::string_view kInternet[] = {kInternetType};
inline constexpr std::string_view kInternetWork[] = {kInternetType, "WORK"};
inline constexpr std::string_view kInternetHome[] = {kInternetType, "HOME"};
inline constexpr std::string_view kInternetOther[] = {kInternetType, "OTHER"};
} // namespace types

// The lines a card has whatever its record holds: the frame, the card's UID and
// what kind of entity it stands for.
namespace frame {
inline constexpr std::string_view kBegin = "BEGIN";
inline constexpr std::string_view kVersion = "VERSION";
inline constexpr std::string_view kEnd = "END";
inline constexpr std::string_view kUid = "UID";
inline constexpr std::string_view kKind = "KIND";
inline constexpr std::string_view kLines[] = {kBegin, kVersion, kEnd, kUid, kKind};
} // namespace frame

// The order of a card's lines after the name: a property with a rank gives a
// line of its own at that rank; kNoLine for one written inside another's line
// (a name part in N, the department in ORG, an address's parts in its ADR).
inline constexpr std::uint8_t kNoLine = 0xFF;

struct Descriptor {
    std::string_view name;
    Kind kind;
    Qualifier qualifier;
    Place place;
    // The vCard property of its line.
    std::string_view line;
    // The TYPE parameters of its line.
    std::span<const std::string_view> types;
    std::uint8_t rank = kNoLine;
};

namespace rows {

using K = Kind;
using Q = Qualifier;
using P = Place;

constexpr std::span<const std::string_view> none() {
    return {};
}

// clang-format off
inline constexpr std::array<Descriptor, kCount> kTable = {{
    {"FirstName",                  K::Name,         Q::Given,      P::None,  "N",          none()},
    {"LastName",                   K::Name,         Q::Family,     P::None,  "N",          none()},
    {"MiddleName",                 K::Name,         Q::Middle,     P::None,  "N",          none()},
    {"Title",                      K::Name,         Q::Prefix,     P::None,  "N",          none()},
    {"FullName",                   K::Name,         Q::Full,       P::None,  "FN",         none()},
    {"JobTitle",                   K::Job,          Q::None,       P::None,  "TITLE",      none(),       0},
    {"Company",                    K::Organisation, Q::Company,    P::None,  "ORG",        none(),       1},
    {"Department",                 K::Organisation, Q::Department, P::None,  "ORG",        none()},
    {"BusinessAddress",            K::Address,      Q::Formatted,  P::Work,  "ADR",        types::kWork,         2},
    {"BusinessAddressStreet",      K::Address,      Q::Street,     P::Work,  "ADR",        types::kWork},
    {"BusinessAddressCity",        K::Address,      Q::City,       P::Work,  "ADR",        types::kWork},
    {"BusinessAddressState",       K::Address,      Q::Region,     P::Work,  "ADR",        types::kWork},
    {"BusinessAddressPostalCode",  K::Address,      Q::PostalCode, P::Work,  "ADR",        types::kWork},
    {"BusinessAddressCountry",     K::Address,      Q::Country,    P::Work,  "ADR",        types::kWork},
    {"BusinessFaxNumber",          K::Phone,        Q::Fax,        P::Work,  "TEL",        types::kWorkFax,      3},
    {"BusinessTelephoneNumber",    K::Phone,        Q::None,       P::Work,  "TEL",        types::kWork,         4},
    {"BusinessWebPage",            K::Web,          Q::None,       P::Work,  "URL",        types::kWork,         5},
    {"HomeAddress",                K::Address,      Q::Formatted,  P::Home,  "ADR",        types::kHome,         6},
    {"HomeAddressStreet",          K::Address,      Q::Street,     P::Home,  "ADR",        types::kHome},
    {"HomeAddressCity",            K::Address,      Q::City,       P::Home,  "ADR",        types::kHome},
    {"HomeAddressState",           K::Address,      Q::Region,     P::Home,  "ADR",        types::kHome},
    {"HomeAddressPostalCode",      K::Address,      Q::PostalCode, P::Home,  "ADR",        types::kHome},
    {"HomeAddressCountry",         K::Address,      Q::Country,    P::Home,  "ADR",        types::kHome},
    {"HomeFaxNumber",              K::Phone,        Q::Fax,        P::Home,  "TEL",        types::kHomeFax,      7},
    {"HomeTelephoneNumber",        K::Phone,        Q::None,       P::Home,  "TEL",        types::kHome,         8},
    {"PersonalWebPage",            K::Web,          Q::None,       P::Home,  "URL",        types::kHome,         9},
    {"MobileNumber",               K::Phone,        Q::Cell,       P::None,  "TEL",        types::kCell,         10},
    {"EmailAddressWork",           K::Email,        Q::None,       P::Work,  "EMAIL",      types::kInternetWork, 11},
    {"EmailAddressHome",           K::Email,        Q::None,       P::Home,  "EMAIL",      types::kInternetHome, 12},
    {"EmailAddressOther",          K::Email,        Q::None,       P::Other, "EMAIL",      types::kInternetOther,13},
    {"NameSuffix",                 K::Name,         Q::Suffix,     P::None,  "N",          none()},
    {"Nickname",                   K::Name,         Q::Nick,       P::None,  "NICKNAME",   none(),       30},
    {"Birthday",                   K::Date,         Q::None,       P::None,  "BDAY",       none(),       31},
    {"Notes",                      K::Note,         Q::None,       P::None,  "NOTE",       none(),       33},
    {"Categories",                 K::Categories,   Q::None,       P::None,  "CATEGORIES", none(),       32},
    {"EmailAddress2",              K::Email,        Q::Second,     P::None,  "EMAIL",      types::kInternet,     14},
    {"EmailAddress3",              K::Email,        Q::Third,      P::None,  "EMAIL",      types::kInternet,     15},
    {"OtherTelephoneNumber",       K::Phone,        Q::None,       P::Other, "TEL",        types::kVoice,        16},
    {"PagerNumber",                K::Phone,        Q::Pager,      P::None,  "TEL",        types::kPager,        17},
    {"CarTelephoneNumber",         K::Phone,        Q::Car,        P::None,  "TEL",        types::kCar,          18},
    {"AssistantTelephoneNumber",   K::Phone,        Q::Assistant,  P::None,  "TEL",        types::kAssistant,    19},
    {"CompanyMainTelephoneNumber", K::Phone,        Q::Main,       P::Work,  "TEL",        types::kWorkPref,     20},
    {"BusinessAddressStreet2",     K::Address,      Q::Street2,    P::Work,  "ADR",        types::kWork},
    {"HomeAddressStreet2",         K::Address,      Q::Street2,    P::Home,  "ADR",        types::kHome},
    {"CallbackTelephoneNumber",    K::Phone,        Q::Callback,   P::None,  "TEL",        types::kCallback,     21},
    {"ISDNNumber",                 K::Phone,        Q::Isdn,       P::None,  "TEL",        types::kIsdn,         22},
    {"RadioTelephoneNumber",       K::Phone,        Q::Radio,      P::None,  "TEL",        types::kRadio,        23},
    {"TTYTDDTelephoneNumber",      K::Phone,        Q::Tty,        P::None,  "TEL",        types::kTty,          24},
    {"OtherFaxNumber",             K::Phone,        Q::Fax,        P::Other, "TEL",        types::kFax,          25},
}};
// clang-format on

} // namespace rows

using rows::kTable;

// The row of a property.
constexpr const Descriptor& descriptorOf(Position p) {
    return kTable[p];
}

// The name of a property.
constexpr std::string_view nameOf(Position p) {
    return kTable[p].name;
}

// The property names in record order.
inline constexpr std::array<std::string_view, kCount> kNames = [] {
    std::array<std::string_view, kCount> names{};
    for (std::size_t i = 0; i < kCount; ++i) {
        names[i] = kTable[i].name;
    }
    return names;
}();

// The property a name stands for; none for a name that is not one of them.
constexpr std::optional<Position> positionOf(std::string_view name) {
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        if (kTable[i].name == name) {
            return static_cast<Position>(i);
        }
    }
    return std::nullopt;
}

// The vCard property the values of a kind are written on ("TEL", "EMAIL").
inline constexpr auto kLinesOfKinds = [] {
    std::array<std::string_view, static_cast<std::size_t>(Kind::Categories) + 1> lines{};
    for (std::size_t k = 0; k < lines.size(); ++k) {
        for (const Descriptor& d : kTable) {
            if (d.kind == static_cast<Kind>(k) && d.qualifier != Qualifier::Full) {
                lines[k] = d.line;
                break;
            }
        }
    }
    return lines;
}();
constexpr std::string_view lineOf(Kind kind) {
    return kLinesOfKinds[static_cast<std::size_t>(kind)];
}

// The property of exactly this kind, qualifier and place; none when the table has none.
constexpr std::optional<Position> find(Kind kind, Qualifier qualifier, Place place) {
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        const Descriptor& d = kTable[i];
        if (d.kind == kind && d.qualifier == qualifier && d.place == place) {
            return static_cast<Position>(i);
        }
    }
    return std::nullopt;
}

// An address block: its formatted address and parts, by the place it is.
struct AddressBlock {
    Position formatted;
    Position street;
    Position street2;
    Position city;
    Position region;
    Position postalCode;
    Position country;

    // The six parts one address is given in: the whole, then street, city,
    // region, postal code and country.
    constexpr std::array<Position, 6> parts() const {
        return {formatted, street, city, region, postalCode, country};
    }
};
inline constexpr std::size_t kAddressBlockSize = 6;

// The address block of every place, found in the table once: each card
// asks for its blocks.
inline constexpr auto kAddressBlocks = [] {
    std::array<std::optional<AddressBlock>, static_cast<std::size_t>(Place::Other) + 1> blocks{};
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const auto part = [i](Qualifier q) {
            return find(Kind::Address, q, static_cast<Place>(i));
        };
        if (part(Qualifier::Formatted)) {
            blocks[i] = AddressBlock{*part(Qualifier::Formatted), *part(Qualifier::Street),
                                     *part(Qualifier::Street2),   *part(Qualifier::City),
                                     *part(Qualifier::Region),    *part(Qualifier::PostalCode),
                                     *part(Qualifier::Country)};
        }
    }
    return blocks;
}();

// The block of a place (Work or Home); none for places without one.
constexpr std::optional<AddressBlock> addressBlock(Place place) {
    return kAddressBlocks[static_cast<std::size_t>(place)];
}

// The properties that have a line of their own, in the order of their lines.
inline constexpr auto kLineOrder = [] {
    constexpr std::size_t count = [] {
        std::size_t n = 0;
        for (const Descriptor& d : kTable) {
            n += d.rank != kNoLine ? 1 : 0;
        }
        return n;
    }();
    std::array<Position, count> order{};
    std::size_t n = 0;
    for (std::uint8_t rank = 0; rank < kNoLine; ++rank) {
        for (std::size_t i = 0; i < kTable.size(); ++i) {
            if (kTable[i].rank == rank) {
                order[n++] = static_cast<Position>(i);
            }
        }
    }
    return order;
}();

// The properties of one kind, in record order.
template <Kind kind>
inline constexpr auto kOfKind = [] {
    constexpr std::size_t count = [] {
        std::size_t n = 0;
        for (const Descriptor& d : kTable) {
            n += d.kind == kind ? 1 : 0;
        }
        return n;
    }();
    std::array<Position, count> of{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        if (kTable[i].kind == kind) {
            of[n++] = static_cast<Position>(i);
        }
    }
    return of;
}();

// How many names, from the first, "pair all remaining columns in order" may
// use: the original 30, so that existing pairings stay as they were.
inline constexpr std::size_t kPairedInOrder = 30;

// The TYPE a place gives a value that has no property of its own.
constexpr std::span<const std::string_view> placeTypes(Place place) {
    switch (place) {
    case Place::Work:
        return types::kWork;
    case Place::Home:
        return types::kHome;
    case Place::Other:
    case Place::None:
        break;
    }
    return {};
}

// The TYPE parameters of a value of this kind, qualifier and place that has
// no property of its own (a further value): those of the property that is
// exactly that, else the place's and the qualifier's own.
std::vector<std::string_view> typesFor(Kind kind, Qualifier qualifier, Place place);

} // namespace property
