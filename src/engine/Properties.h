// The 30 vCard property names; a name's position is its slot in every record.
#pragma once

#include <array>
#include <cstddef>
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
};

} // namespace property
