#include "engine/pair/HeaderNames.h"
#include "engine/pair/Properties.h"
#include "engine/pair/TypedGroups.h"

#include <gtest/gtest.h>

using Headers = std::vector<std::string>;

namespace {

std::vector<std::string> describe(const std::vector<ColumnPair>& pairs) {
    std::vector<std::string> lines;
    for (const auto& p : pairs) {
        lines.push_back(std::to_string(p.column) + " " + p.header + " " + p.property);
    }
    return lines;
}

} // namespace

TEST(PairColumnsByName, CaseBlanksAndPunctuationDoNotMatter) {
    const Headers headers = {"FIRST_NAME", "e-mail address", "Straße geschäftlich",
                             "PRÉNOM",     "Unknown",        "Handy"};
    EXPECT_EQ(describe(pairColumnsByName(headers, {}, {}).pairs),
              (Headers{"0 FIRST_NAME FirstName", "1 e-mail address EmailAddressWork",
                       "2 Straße geschäftlich BusinessAddressStreet", "5 Handy MobileNumber"}));
    // Latin-1 capitals fold from À to Þ; the sign × and ß stay as they are.
    EXPECT_EQ(headerKey("ÀÞ×ßé Ö-Ü"), "àþ×ßéöü");
}

TEST(PairColumnsByName, NeverAPropertyTwice) {
    // Given Name and First Name mean one property: the first column wins, the
    // second is reported; paired names and paired properties are left alone.
    const Headers headers = {"Phone", "Given Name", "First Name", "Surname", "Mobile", "Mobile"};
    const NamePairing found = pairColumnsByName(headers, {"MobileNumber"}, {"Phone"});
    EXPECT_EQ(describe(found.pairs), (Headers{"1 Given Name FirstName", "3 Surname LastName"}));
    EXPECT_EQ(describe(found.unpaired),
              (Headers{"2 First Name FirstName", "4 Mobile MobileNumber"}));
}

TEST(PairColumnsByName, OnlyPropertiesThatExist) {
    const NamePairing found =
        pairColumnsByName({"E-mail 2 Address", "Secondary Email", "Nickname"}, {}, {});
    for (const auto& pair : found.pairs) {
        EXPECT_TRUE(property::positionOf(pair.property).has_value()) << pair.property;
    }
    // A second e-mail takes EmailAddress2 where it exists, else the home address.
    ASSERT_FALSE(found.pairs.empty());
    EXPECT_EQ(found.pairs[0].property,
              property::positionOf("EmailAddress2") ? "EmailAddress2" : "EmailAddressHome");
}

class TypedValues : public ::testing::Test {
protected:
    const Headers headers = {"Name",
                             "E-mail 1 - Type",
                             "E-mail 1 - Value",
                             "Phone 1 - Label",
                             "Phone 1 - Value",
                             "Address 1 - Label",
                             "Address 1 - Street",
                             "Address 1 - City",
                             "Address 1 - Extended Address",
                             "Website 1 - Label",
                             "Website 1 - Value",
                             "Organization 1 - Type"};
    const std::vector<TypedGroup> groups = detectTypedGroups(headers);

    ContactRecord record = empty();
    static ContactRecord empty() { return {std::vector<std::string>(property::kCount), {}}; }
    void spread(const Headers& fields) { spreadTypedValues(fields, groups, record); }
};

TEST_F(TypedValues, GroupsAreFoundInTheHeader) {
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0].kind, TypedKind::Email);
    EXPECT_EQ(groups[0].label.index, 1u);
    EXPECT_EQ(groups[0].value.index, 2u);
    EXPECT_EQ(groups[2].kind, TypedKind::Address);
    EXPECT_EQ(groups[2].address[1].index, 6u);
    EXPECT_EQ(groups[2].addressExtra[0].index, 8u);
    EXPECT_TRUE(
        detectTypedGroups({"E-mail 1 - Value", "Phone - Label", "Phone x - Value"}).empty());
}

TEST_F(TypedValues, EachRowsOwnLabelTypesItsValues) {
    using namespace property;
    spread({"Ann", "* Home", "a@h ::: b@x", "Work Fax", "555", "Work", "1 Main St", "Leeds", "",
            "Profile", "u"});
    EXPECT_TRUE(record.more.empty());
    EXPECT_EQ(record[EmailAddressHome], "a@h");
    // The second Home value never takes another type's property.
    EXPECT_EQ(record[EmailAddress2], "b@x");
    EXPECT_EQ(record[EmailAddressWork], "");
    EXPECT_EQ(record[BusinessFaxNumber], "555");
    EXPECT_EQ(record[BusinessAddressStreet], "1 Main St");
    EXPECT_EQ(record[BusinessAddressCity], "Leeds");
    EXPECT_EQ(record[PersonalWebPage], "u");

    record = empty();
    record[MobileNumber] = "taken by a fixed pair";
    spread({"Bo", "", "", "Mobile", "777", "Home", "2 Elm Rd", "", "", "", ""});
    EXPECT_EQ(record[MobileNumber], "taken by a fixed pair");
    EXPECT_EQ(record[OtherTelephoneNumber], "777");
    EXPECT_EQ(record[BusinessTelephoneNumber], "");
    EXPECT_EQ(record[HomeAddressStreet], "2 Elm Rd");
}

TEST_F(TypedValues, ValuesWithNoFreePropertyBecomeFurtherValues) {
    using namespace property;
    const std::string six = "1@x ::: 2@x ::: 3@x ::: 4@x ::: 5@x ::: 6@x";
    record[HomeAddressCity] = "taken";
    spread({"Ann", "Work", six, "Work Fax", "7 ::: 8 ::: 9", "Home", "2 Elm Rd", "York", "Flat 3",
            "", ""});
    EXPECT_EQ(record[EmailAddress3], "3@x");
    EXPECT_EQ(record[EmailAddressOther], "");
    ASSERT_EQ(record.more.size(), 5u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(record.more[i].kind, ValueKind::Email);
        EXPECT_EQ(record.more[i].value, std::to_string(i + 4) + "@x");
        EXPECT_EQ(record.more[i].types, Headers{"WORK"});
    }
    EXPECT_EQ(record.more[3].kind, ValueKind::Telephone);
    EXPECT_EQ(record.more[3].value, "9"); // 8 took the untyped OtherTelephoneNumber
    EXPECT_EQ(record.more[3].types, (Headers{"WORK", "FAX"}));
    // A home address whose block is taken keeps every part and its type.
    const TypedValue& home = record.more[4];
    EXPECT_EQ(home.kind, ValueKind::Address);
    EXPECT_EQ(home.types, Headers{"HOME"});
    EXPECT_EQ(home.address[Street], "2 Elm Rd");
    EXPECT_EQ(home.address[City], "York");
    EXPECT_EQ(home.address[Extended], "Flat 3");
    // A short row holds no values for its missing columns.
    record = empty();
    spread({"Ann", "Work"});
    EXPECT_EQ(record.named, empty().named);
    EXPECT_TRUE(record.more.empty());
}

TEST(TypedGroupAddress, AFurtherAddressKeepsEveryPartInItsPlace) {
    using namespace property;
    const Headers headers = {"Address 1 - Label",       "Address 1 - Street",
                             "Address 1 - City",        "Address 1 - Region",
                             "Address 1 - Postal Code", "Address 1 - Country",
                             "Address 1 - PO Box",      "Address 1 - Extended Address"};
    ContactRecord record{std::vector<std::string>(kCount), {}};
    record[HomeAddressCity] = "taken";
    spreadTypedValues({"Home", "st", "ci", "re", "pc", "co", "pb", "ex"},
                      detectTypedGroups(headers), record);
    ASSERT_EQ(record.more.size(), 1u);
    EXPECT_EQ(record.more[0].address,
              (std::array<std::string, kAddressParts>{"pb", "ex", "st", "ci", "re", "pc", "co"}));
}
