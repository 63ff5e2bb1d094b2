// The vCard 2.1 and 4.0 writers, and the quoted-printable values of 2.1.
#include "TestSupport.h"
#include "engine/cards/CardWriter.h"
#include "engine/cards/PhoneForm.h"
#include "engine/cards/QuotedPrintable.h"
#include "engine/pair/Properties.h"

#include <gtest/gtest.h>

using namespace property;
using testsupport::contactRecord;

namespace {

// The quoted-printable text decoded: "=XX" a byte, "=" CR LF nothing.
std::string decoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            out += text[i];
        } else if (text.substr(i + 1, 2) == "\r\n") {
            i += 2;
        } else {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        }
    }
    return out;
}

const ContactRecord kPerson = contactRecord({{FirstName, "Zoë"},
                                             {LastName, "Brontë"},
                                             {Company, "Acme; Inc, Ltd"},
                                             {BusinessFaxNumber, "+49 30 123456"},
                                             {MobileNumber, "0171 1234567"},
                                             {CompanyMainTelephoneNumber, "+1 (555) 0100"},
                                             {EmailAddressWork, "z@x.org"},
                                             {BusinessWebPage, "http://x.org/a;b,c"},
                                             {Birthday, "14.03.1990"},
                                             {Categories, "Friends ::: a,b"},
                                             {Notes, "Line one\nline two"}},
                                            {{ValueKind::Date, {}, "3/14", {}, "X-ANNIVERSARY"}});

} // namespace

TEST(CardFormats, Version40) {
    EXPECT_EQ(cardWriter(CardFormat::Version40).write(kPerson, "u-1"),
              "BEGIN:VCARD\r\n"
              "VERSION:4.0\r\n"
              "KIND:individual\r\n"
              "FN:Zoë Brontë\r\n"
              "N:Brontë;Zoë;;;\r\n"
              "ORG:Acme\\; Inc\\, Ltd\r\n"
              "TEL;TYPE=work,fax;VALUE=uri:tel:+49-30-123456\r\n"
              "URL;TYPE=work:http://x.org/a;b,c\r\n"
              "TEL;TYPE=cell:0171 1234567\r\n"
              "EMAIL;TYPE=work:z@x.org\r\n"
              "TEL;TYPE=work;PREF=1:+1 (555) 0100\r\n"
              "BDAY:19900314\r\n"
              "CATEGORIES:Friends,a\\,b\r\n"
              "NOTE:Line one\\nline two\r\n"
              "X-ANNIVERSARY:--0314\r\n"
              "UID:urn:uuid:u-1\r\n"
              "END:VCARD\r\n");
    // A card with a company and no name stands for the company.
    const std::string org =
        cardWriter(CardFormat::Version40).write(contactRecord({{Company, "Acme"}}), "u");
    EXPECT_NE(org.find("\r\nKIND:org\r\nFN:Acme\r\n"), std::string::npos) << org;
    EXPECT_NE(cardWriter(CardFormat::Version40)
                  .write(contactRecord({{Company, "Acme"}, {Nickname, "Bee"}}), "u")
                  .find("KIND:individual"),
              std::string::npos);
}

TEST(CardFormats, TelephoneUrisOnlyForInternationalNumbers) {
    const std::pair<std::string, std::string> numbers[] = {
        {"+44 20 7946 0958", "TEL;TYPE=cell;VALUE=uri:tel:+44-20-7946-0958"},
        {"+31.6.12345678", "TEL;TYPE=cell;VALUE=uri:tel:+31-6-12345678"},
        {"+4915112345678", "TEL;TYPE=cell;VALUE=uri:tel:+4915112345678"},
        {"+49 (0)30 1234", "TEL;TYPE=cell:+49 (0)30 1234"},
        {"+49  30", "TEL;TYPE=cell:+49  30"},
        {"+49 30 ext. 5", "TEL;TYPE=cell:+49 30 ext. 5"},
        {"+1234567890123456", "TEL;TYPE=cell:+1234567890123456"},
        {"+", "TEL;TYPE=cell:+"},
        {"030 1234", "TEL;TYPE=cell:030 1234"},
    };
    for (const auto& [number, line] : numbers) {
        const std::string card =
            cardWriter(CardFormat::Version40).write(contactRecord({{MobileNumber, number}}), "u");
        EXPECT_NE(card.find("\r\n" + line + "\r\n"), std::string::npos) << card;
    }
}

TEST(CardFormats, Version21) {
    EXPECT_EQ(cardWriter(CardFormat::Version21).write(kPerson, "u-1"),
              "BEGIN:VCARD\r\n"
              "VERSION:2.1\r\n"
              "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Zo=C3=AB Bront=C3=AB\r\n"
              "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Bront=C3=AB;Zo=C3=AB;;;\r\n"
              "ORG:Acme\\; Inc, Ltd\r\n"
              "TEL;WORK;FAX:+49 30 123456\r\n"
              "URL;WORK:http://x.org/a;b,c\r\n"
              "TEL;CELL:0171 1234567\r\n"
              "EMAIL;INTERNET;WORK:z@x.org\r\n"
              "TEL;WORK;PREF:+1 (555) 0100\r\n"
              "BDAY:1990-03-14\r\n"
              "CATEGORIES:Friends,a\\,b\r\n"
              "NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Line one=0D=0Aline two\r\n"
              "X-ANNIVERSARY:--03-14\r\n"
              "UID:u-1\r\n"
              "END:VCARD\r\n");
    // A long line without a byte to encode stays one line.
    const std::string title(200, 'x');
    EXPECT_NE(cardWriter(CardFormat::Version21)
                  .write(contactRecord({{JobTitle, title + "\\"}}), "u")
                  .find("\r\nTITLE:" + title + "\\\\\r\n"),
              std::string::npos);
}

TEST(QuotedPrintable, MultiByteTextAcrossSoftLineBreaks) {
    // Two-, three- and four-octet characters, blanks where lines may end, a
    // line break, a tab, an "=" and a blank at the very end.
    std::string value;
    for (int i = 0; i < 12; ++i) {
        value += "Zoë 東京 😀 a=b ";
    }
    value += "\r\nlast\tline ";
    const std::string head = "NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:";
    std::string out = head;
    vcard::appendQuotedPrintable(out, value, head.size());
    const std::string encoded = out.substr(head.size());
    EXPECT_EQ(decoded(encoded), value);
    EXPECT_TRUE(encoded.ends_with("last=09line=20")) << encoded;
    EXPECT_NE(encoded.find("=0D=0Alast"), std::string::npos);
    std::size_t start = 0;
    int lines = 0;
    for (std::size_t end = out.find("\r\n"); start <= out.size();
         start = end + 2, end = out.find("\r\n", start), ++lines) {
        const std::string_view line(out.data() + start,
                                    (end == std::string::npos ? out.size() : end) - start);
        EXPECT_LE(line.size(), 76u) << line;
        // A soft break never parts a character's octets, nor leaves a blank at
        // the start or end of a line.
        EXPECT_FALSE(line.starts_with("=80") || line.starts_with("=81") || line.starts_with("=9") ||
                     line.starts_with("=A") || line.starts_with("=B"))
            << line;
        EXPECT_FALSE(line.starts_with(' ') || line.ends_with(" ")) << line;
        if (end == std::string::npos) {
            break;
        }
        EXPECT_TRUE(line.ends_with('=')) << line;
    }
    EXPECT_GT(lines, 5);
}

TEST(PhoneForm, EveryTelephoneValueAndNothingElse) {
    // A form that knows numbers with a leading zero, as one region's plan would.
    struct LeadingZero final : PhoneForm {
        std::optional<std::string> international(std::string_view number) const override {
            return number.starts_with('0') ? std::optional("+49 " + std::string(number.substr(1)))
                                           : std::nullopt;
        }
    };
    ContactRecord r = contactRecord({{MobileNumber, "0171 1"},
                                     {PagerNumber, "unknown"},
                                     {HomeAddressPostalCode, "0123"},
                                     {Notes, "0171"},
                                     {BusinessTelephoneNumber, "0.171E+4"}},
                                    {{ValueKind::Telephone, {"CELL"}, "030 2", {}, ""},
                                     {ValueKind::Text, {}, "0301", {}, "NOTE"}});
    EXPECT_EQ(writeTelephonesInternational(r, LeadingZero()), 2u);
    EXPECT_EQ(r[MobileNumber], "+49 171 1");
    EXPECT_EQ(r[PagerNumber], "unknown");
    EXPECT_EQ(r[BusinessTelephoneNumber], "0.171E+4"); // read as 171: not known, kept
    EXPECT_EQ(r.more[0].value, "+49 30 2");
    EXPECT_EQ(r[HomeAddressPostalCode], "0123");
    EXPECT_EQ(r[Notes], "0171");
    EXPECT_EQ(r.more[1].value, "0301");
}
