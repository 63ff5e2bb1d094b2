// The vCard property names; a name's position is its slot in every record.
// The first 30 are the original set; the ones after them were added later.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

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
    kCount
};

inline constexpr std::array<std::string_view, kCount> kNames = {
    "FirstName",
    "LastName",
    "MiddleName",
    "Title",
    "FullName",
    "JobTitle",
    "Company",
    "Department",
    "BusinessAddress",
    "BusinessAddressStreet",
    "BusinessAddressCity",
    "BusinessAddressState",
    "BusinessAddressPostalCode",
    "BusinessAddressCountry",
    "BusinessFaxNumber",
    "BusinessTelephoneNumber",
    "BusinessWebPage",
    "HomeAddress",
    "HomeAddressStreet",
    "HomeAddressCity",
    "HomeAddressState",
    "HomeAddressPostalCode",
    "HomeAddressCountry",
    "HomeFaxNumber",
    "HomeTelephoneNumber",
    "PersonalWebPage",
    "MobileNumber",
    "EmailAddressWork",
    "EmailAddressHome",
    "EmailAddressOther",
    "NameSuffix",
    "Nickname",
    "Birthday",
    "Notes",
    "Categories",
    "EmailAddress2",
    "EmailAddress3",
    "OtherTelephoneNumber",
    "PagerNumber",
    "CarTelephoneNumber",
    "AssistantTelephoneNumber",
    "CompanyMainTelephoneNumber",
    "BusinessAddressStreet2",
    "HomeAddressStreet2",
};

// The property a name stands for; none for a name that is not one of them.
constexpr std::optional<Position> positionOf(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (kNames[i] == name) {
            return static_cast<Position>(i);
        }
    }
    return std::nullopt;
}

// The name of a property.
constexpr std::string_view nameOf(Position p) {
    return kNames[p];
}

// The six slots of an address block, in record order: the formatted address,
// then street, city, state, postal code and country.
inline constexpr std::size_t kAddressBlockSize = 6;

// An address block: where it starts and where its second street line is.
struct AddressBlock {
    Position first;
    Position street2;
};
inline constexpr AddressBlock kBusinessAddress = {BusinessAddress, BusinessAddressStreet2};
inline constexpr AddressBlock kHomeAddress = {HomeAddress, HomeAddressStreet2};

// How many names, from the first, "pair all remaining columns in order" may
// use: the original 30, so that existing pairings stay as they were.
inline constexpr std::size_t kPairedInOrder = 30;

} // namespace property
