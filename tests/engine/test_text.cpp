#include "engine/Text.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(Fill, PlaceholdersFillInOrderAndPercentStaysLiteral) {
    EXPECT_EQ(text::fill("Status: %d/%d", 3, 40), "Status: 3/40");
    EXPECT_EQ(text::fill("Progress: %d %%", 33), "Progress: 33 %");
    EXPECT_EQ(text::fill("%@ Contact(s)", " 7"), " 7 Contact(s)");
    // A "%" in a filled value is data, not a placeholder.
    EXPECT_EQ(text::fill("Invalid CSV file %@.", "100%@d.csv"), "Invalid CSV file 100%@d.csv.");
    EXPECT_EQ(text::fill("trailing %"), "trailing %");
}

TEST(ExceptionName, NamesTheStandardType) {
    EXPECT_EQ(text::exceptionName(std::out_of_range("x")), "std::out_of_range");
    EXPECT_EQ(text::exceptionName(std::invalid_argument("x")), "std::invalid_argument");
}

TEST(Utf16Length, CountsSurrogatePairsAsTwo) {
    EXPECT_EQ(text::utf16Length("abc"), 3u);
    EXPECT_EQ(text::utf16Length("\xC3\xA9"), 1u);         // é
    EXPECT_EQ(text::utf16Length("\xE2\x82\xAC"), 1u);     // €
    EXPECT_EQ(text::utf16Length("\xF0\x9F\x98\x80"), 2u); // 😀
}

TEST(Utf8Validation, RejectsMalformedSequences) {
    EXPECT_TRUE(text::isValidUtf8("plain ascii"));
    EXPECT_TRUE(text::isValidUtf8(std::string("nul\0inside", 10)));
    EXPECT_TRUE(text::isValidUtf8("Ren\xC3\xA9 \xF0\x9F\x98\x80"));
    EXPECT_FALSE(text::isValidUtf8("Ren\xE9"));          // Latin-1
    EXPECT_FALSE(text::isValidUtf8("\xC0\xAF"));         // overlong "/"
    EXPECT_FALSE(text::isValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(text::isValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(text::isValidUtf8("cut \xE2\x82"));     // truncated at the end
    EXPECT_FALSE(text::isValidUtf8("\x80 lone continuation"));
    EXPECT_FALSE(text::isValidUtf8("\xC3( no continuation"));
}

TEST(LastPathComponent, KeepsTheExtension) {
    EXPECT_EQ(text::lastPathComponent("/Users/x/contacts.csv"), "contacts.csv");
    EXPECT_EQ(text::lastPathComponent("contacts.csv"), "contacts.csv");
    EXPECT_EQ(text::lastPathComponent("/a/b/"), "b");
}
