// What a column holds, read from the words of its name: a kind of contact
// data with a qualifier (home, work, other) and an ordinal ("Phone 2"), a
// CRM's own bookkeeping, or nothing known. The vocabulary covers English,
// German, French, Spanish, Italian, Dutch and Portuguese.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Kinds in the order they win when a name holds words of several: "E-Mail
// Adresse" is an e-mail, "Company Phone" a telephone, "First Name" a given
// name, "Email Opt Out" bookkeeping.
enum class ColumnKind {
    Metadata, // record ids, owners, statuses, times, consent flags, ratings
    Email,
    WebPage,
    Fax,
    Pager,
    Mobile,
    Telephone,
    Birthday,
    BirthPart, // a birthday's year, month or day in a column of its own
    PoBox,
    Street,
    City,
    PostalCode,
    Country, // before Region: "Country/Region" is a country
    Region,
    Address, // a whole address in one column
    Notes,
    Categories,
    Department,
    Company,
    JobTitle,
    Title, // a prefix or a job title: the values tell
    Prefix,
    Suffix,
    Nickname,
    MiddleName,
    GivenName,
    FamilyName,
    FullName,
    Unknown,
};

// Which of a contact's places a value belongs to.
enum class Qualifier {
    None,
    Home,
    Work,
    Other,
    // A mailing, billing or shipping address: the contact's own, home or work
    // as the rest of the layout implies.
    Mailing,
};

struct ColumnMeaning {
    ColumnKind kind = ColumnKind::Unknown;
    Qualifier qualifier = Qualifier::None;
    // The number in the name ("Phone 2" -> 2); 0 when there is none.
    int ordinal = 0;
    // True when the name says "line" ("Address Line 2").
    bool line = false;
};

// The meaning of a column name alone.
ColumnMeaning classifyColumnName(std::string_view header);

// What the filled cells of a column say when its name says nothing: e-mail
// addresses, web addresses or telephone numbers in every one of them (and at
// least one) make the column one of those; otherwise Unknown.
ColumnKind kindFromValues(const std::vector<std::string_view>& values);

// Resolves Title: honorifics ("Mr", "Dr.", "Frau", "Mme", "Sr.") in most
// filled cells make it the prefix; other values make it the job title; a
// column without values stays the prefix.
ColumnKind resolveTitle(const std::vector<std::string_view>& values);
