#include "FaultyFiles.h"
#include "TestSupport.h"
#include "engine/read/Csv.h"
#include "engine/read/CsvLoad.h"

#include <cerrno>
#include <functional>
#include <gtest/gtest.h>

using namespace testsupport;
using Rows = std::vector<std::string_view>;

namespace {

std::string utf16(std::string_view ascii, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : ascii) {
        bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    }
    return bytes;
}

} // namespace

TEST(DecodeCsvText, EachEncodingIsToldApartAndDecoded) {
    struct Case {
        std::string bytes;
        std::string text;
        std::string encoding;
    };
    const std::vector<Case> cases = {
        {"\xEF\xBB\xBFN\nRen\xC3\xA9", "N\nRen\xC3\xA9", "UTF-8"},
        {utf16("N\nAnn", false), "N\nAnn", "UTF-16LE"},
        {utf16("N\nAnn", true), "N\nAnn", "UTF-16BE"},
        // The mark written twice by a tool that re-saved the file.
        {"\xFF\xFE" + utf16("N\nAnn", false), "N\nAnn", "UTF-16LE"},
        // Without a mark, by the half of each unit that is zero.
        {utf16("N,P\nAnn", false).substr(2), "N,P\nAnn", "UTF-16LE"},
        {utf16("N,P\nAnn", true).substr(2), "N,P\nAnn", "UTF-16BE"},
        // Euro sign, en dash, and an undefined byte read as U+0081.
        {"N\nRen\xE9 \x80\x96\x81", "N\nRen\xC3\xA9 \xE2\x82\xAC\xE2\x80\x93\xC2\x81",
         "Windows-1252"},
    };
    for (const auto& c : cases) {
        const DecodedCsv decoded = decodeCsvText(c.bytes, CsvEncodingChoice::Auto);
        ASSERT_TRUE(decoded.text.has_value()) << c.encoding << decoded.failure;
        EXPECT_EQ(*decoded.text, c.text);
        EXPECT_EQ(decoded.encoding, c.encoding);
    }
    // Forced: Windows-1252 reads UTF-8 bytes as two characters each.
    EXPECT_EQ(*decodeCsvText("\xC3\xA9", CsvEncodingChoice::Windows1252).text, "\xC3\x83\xC2\xA9");
    EXPECT_EQ(*decodeCsvText(utf16("A,B", false).substr(2), CsvEncodingChoice::Utf16).text, "A,B");
}

TEST(DecodeCsvText, WhatIsNoTextOrDoesNotFitIsRefusedWithAReason) {
    const std::string binary("\x89PNG\r\n\x1a\n\xff\x00", 10);
    EXPECT_EQ(decodeCsvText(binary, CsvEncodingChoice::Auto).failure, "it is not a text file");
    EXPECT_EQ(decodeCsvText(std::string(40, '\x01') + "a,b", CsvEncodingChoice::Auto).failure,
              "it is not a text file");
    EXPECT_EQ(decodeCsvText("\xFF\xFE"
                            "A",
                            CsvEncodingChoice::Utf16)
                  .failure,
              "it is not valid UTF-16 text");
    // An unpaired surrogate.
    EXPECT_FALSE(decodeCsvText(std::string("\xFF\xFE\x00\xD8\x41\x00", 6), CsvEncodingChoice::Auto)
                     .text.has_value());
    // A stray NUL in UTF-8 text is kept, as before; in Windows-1252 only when
    // the user chose it, else it tells a binary file.
    EXPECT_TRUE(decodeCsvText(std::string("N\nc\0d", 5), CsvEncodingChoice::Auto).text);
    const std::string ansiNul("N\nRen\xE9\0", 7);
    EXPECT_FALSE(decodeCsvText(ansiNul, CsvEncodingChoice::Auto).text);
    EXPECT_EQ(decodeCsvText(ansiNul, CsvEncodingChoice::Windows1252).text,
              std::string("N\nRen\xC3\xA9\0", 8));
}

TEST(GetCsvFileData, UnreadableOrChangingFilesAreRefusedWithTheReason) {
    TempDir dir;
    EXPECT_EQ(getCsvFileData((dir.path() / "gone.csv").string(), CsvEncodingChoice::Auto).failure,
              "it cannot be read: No such file or directory");
    EXPECT_EQ(getCsvFileData(dir.str(), CsvEncodingChoice::Auto).failure,
              "it cannot be read: Is a directory");
    const auto file = dir.path() / "contacts.csv";
    const std::string text = "N\n" + std::string(998, 'a');
    struct Case {
        std::function<void(FaultyFiles&)> fault;
        std::string failure;
    };
    const std::vector<Case> cases = {
        {[](FaultyFiles& f) { f.createFails(EACCES); }, "it cannot be read: Permission denied"},
        {[](FaultyFiles& f) { f.readsFail(EIO); }, "it cannot be read: Input/output error"},
        // A read that gives a part is continued to the end.
        {[](FaultyFiles& f) { f.fileResizedWhileRead(100, 1000); }, ""},
        {[](FaultyFiles& f) { f.fileResizedWhileRead(100, 400); },
         "it changed while it was read (1000 bytes when opened, 400 now): load it again once it "
         "is saved"},
        {[](FaultyFiles& f) { f.fileResizedWhileRead(1000, 1500); },
         "it changed while it was read (1000 bytes when opened, 1500 now): load it again once it "
         "is saved"},
    };
    // Every way out closes the file: a window loads many.
    const auto openFiles = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    };
    const auto before = openFiles();
    for (const auto& c : cases) {
        writeFile(file, text);
        FaultyFiles faults;
        c.fault(faults);
        const DecodedCsv read = getCsvFileData(file.string(), CsvEncodingChoice::Auto);
        EXPECT_EQ(read.failure, c.failure);
        EXPECT_EQ(read.text.has_value(), c.failure.empty());
        EXPECT_EQ(read.text.value_or(text), text);
    }
    EXPECT_EQ(openFiles(), before);
}

TEST(CountFields, AgreesWithTheFieldSplitter) {
    for (const std::string row :
         {"", "a;b", "\"a;b\";c", "a;\"b\"\"c;d\";e", "\"open;x", "x\"y;z", "\"\";;", "\"a\"b;c"}) {
        EXPECT_EQ(countFields(row, ';'), splitString(row, ';')->size()) << row;
    }
}

TEST(LayOutCsv, DelimiterFollowsHeaderAndFirstRows) {
    struct Case {
        std::string text;
        CsvDelimiterChoice choice;
        char delimiter;
    };
    const std::vector<Case> cases = {
        {"A;B;C\n1;2;3\n", CsvDelimiterChoice::Auto, ';'},
        {"A\tB\n1\t2\n", CsvDelimiterChoice::Auto, '\t'},
        {"A|B|C\n1|2|3\n", CsvDelimiterChoice::Auto, '|'},
        // Quoted semicolons and line breaks belong to their field.
        {"\"A;x\";B\n\"1\n2\";3\n", CsvDelimiterChoice::Auto, ';'},
        // A data row that splits better on commas keeps the comma.
        {"A;B\n1,2,3\n", CsvDelimiterChoice::Auto, ','},
        {"Name, Town;Phone\nAnn, Leeds;1\n", CsvDelimiterChoice::Auto, ','},
        {"A;B;C\n1;2;3\n", CsvDelimiterChoice::Comma, ','},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(layOutCsv(c.text, c.choice).delimiter, c.delimiter) << c.text;
    }
    const CsvLayout rows = layOutCsv("A;B\n;;\n1;2\n", CsvDelimiterChoice::Auto);
    EXPECT_EQ(rows.rows, (Rows{"A;B", "1;2"})); // rows of only delimiters are empty
}

TEST(LayOutCsv, LinesAboveTheHeaderAndWideRows) {
    const std::string linkedIn = "Notes:\n\"A sentence, with commas.\"\n\nFirst,Last\nAnn,Lee\n";
    CsvLayout layout = layOutCsv(linkedIn, CsvDelimiterChoice::Auto);
    EXPECT_EQ(layout.preambleLinesSkipped, 2u);
    EXPECT_EQ(layout.rows, (Rows{"First,Last", "Ann,Lee"}));
    // A file of one column has no lines above its header.
    layout = layOutCsv("Name\nAnn\nBob\n", CsvDelimiterChoice::Auto);
    EXPECT_EQ(layout.preambleLinesSkipped, 0u);
    EXPECT_EQ(layout.rows.size(), 3u);
    layout = layOutCsv("A,B,C\n1,2,3,4\n1,2,3\n\"x,y\",2\n1,2,,\n1\n", CsvDelimiterChoice::Auto);
    EXPECT_EQ(layout.wideRows, 2u);
    EXPECT_EQ(layout.shortRows, 2u);
    // Any later quote would close it: only the last quote of a file can be left open.
    layout = layOutCsv("A,B,C\n1,2,3\n\"x,y\n1\n", CsvDelimiterChoice::Auto);
    EXPECT_EQ(layout.shortRows, 2u);
    EXPECT_EQ(layout.unclosedQuoteRow, 3u);
}

TEST(LayOutCsv, LinesOfOneValueAboveTheHeaderAreLeftOut) {
    struct Case {
        std::string text;
        std::size_t skipped;
        char delimiter;
    };
    const std::vector<Case> cases = {
        // A spreadsheet pads a title with delimiters; a row of them alone is empty.
        {"Title;;;;\n;;;;\nFirst;Last;Phone\nAnn;Lee;1\n", 1, ';'},
        {"Contacts\r\nFirst,Last,Phone\r\nAnn,Lee,1\r\n", 1, ','},
        {";;Report of May;\n\"\";\"\"\nFirst;Last;Phone\nAnn;Lee;1\n", 2, ';'},
        {"List\t\t\nFirst\tLast\tPhone\nAnn\tLee\t1\n", 1, '\t'},
        // A header with an unnamed column is still the header.
        {"First,,Phone\nAnn,Lee,1\n", 0, ','},
    };
    for (const auto& c : cases) {
        const CsvLayout layout = layOutCsv(c.text, CsvDelimiterChoice::Auto);
        EXPECT_EQ(layout.delimiter, c.delimiter) << c.text;
        EXPECT_EQ(layout.preambleLinesSkipped, c.skipped) << c.text;
        ASSERT_EQ(layout.rows.size(), 2u) << c.text;
        EXPECT_TRUE(layout.rows[0].starts_with("First")) << c.text;
    }
}

TEST(LayOutCsv, AReportsFooterIsLeftOutButContactsOfOneValueStay) {
    struct Case {
        std::string text;
        std::size_t footer;
        std::size_t contacts;
    };
    const std::string head = "First;Last;Email;Phone\nAnn;Lee;a@x.org;1\nBo;Ray;b@x.org;2\n";
    const std::vector<Case> cases = {
        {head + "\nGrand Totals (2 records);;;\n\n\"Confidential Information - Do Not "
                "Distribute\"\n\"Copyright (c) 2000-2026 Example, Inc.\"\n",
         3, 2},
        // A row of empty quoted fields parts the data from the footer as a blank line does.
        {head + "\"\"\n\"For internal use only\"\n", 2, 2},
        // A contact with only a name right below the data stays.
        {head + "Cy;;;\n\nCopyright 2026\n", 1, 3},
        // Below an empty line, only a line no name reads like is a footer.
        {head + "\nAnna Maria Lee;;;\n", 0, 3},
        // A value past the first field is a contact's.
        {head + "\n;;;+44 20 7946 0000\n", 0, 3},
        {head + "Cy;;;\n\nDi;;;\n\nCopyright 2026\n", 1, 4},
    };
    for (const auto& c : cases) {
        const CsvLayout layout = layOutCsv(c.text, CsvDelimiterChoice::Auto);
        EXPECT_EQ(layout.delimiter, ';') << c.text;
        EXPECT_EQ(layout.footerLinesSkipped, c.footer) << c.text;
        EXPECT_EQ(layout.rows.size(), c.contacts + 1) << c.text;
    }
    // The footer's lines are not counted as short rows.
    EXPECT_EQ(layOutCsv(cases[0].text, CsvDelimiterChoice::Auto).shortRows, 0u);
    // More rows of one value than a footer has are data.
    std::string many = head + "\n";
    for (int i = 0; i < 11; ++i) {
        many += "Row " + std::to_string(i) + " of the list\n";
    }
    EXPECT_EQ(layOutCsv(many, CsvDelimiterChoice::Auto).rows.size(), 14u);
    // A header of two columns leaves every row a contact; so does a file of one value a row.
    EXPECT_EQ(layOutCsv("Name,Phone\nAnn,1\n\nTotal: 1 record\n", CsvDelimiterChoice::Auto)
                  .footerLinesSkipped,
              0u);
    EXPECT_EQ(
        layOutCsv("A,B,C\nAnn,,\n\nCopyright 2026\n", CsvDelimiterChoice::Auto).footerLinesSkipped,
        0u);
}

TEST(LoadChoices, WordsOfTheShells) {
    EXPECT_EQ(parseEncodingChoice("Windows-1252"), CsvEncodingChoice::Windows1252);
    EXPECT_EQ(parseEncodingChoice("utf-16"), CsvEncodingChoice::Utf16);
    EXPECT_FALSE(parseEncodingChoice("latin1"));
    EXPECT_EQ(parseDelimiterChoice("tab"), CsvDelimiterChoice::Tab);
    EXPECT_EQ(parseDelimiterChoice("|"), CsvDelimiterChoice::Bar);
    EXPECT_FALSE(parseDelimiterChoice("::"));
}
