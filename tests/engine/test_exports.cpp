// Real export layouts (made-up people) loaded, paired by their column names and
// converted: each value must land in the vCard line of its meaning.
#include "TestSupport.h"
#include "engine/ExportSession.h"

using namespace testsupport;

namespace {

struct ExportCase {
    std::string file;
    std::int64_t contacts;
    std::string encoding;
    std::string delimiter;
    std::size_t preamble;
    std::vector<std::string> lines;
};

// Every vCard of the run, one after the other.
std::string allCards(const fs::path& destination) {
    std::string cards;
    const fs::path run = onlySubfolder(destination);
    for (const auto& name : listFolder(run)) {
        cards += readFile(run / name) + "\n";
    }
    return cards;
}

} // namespace

TEST(Exports, EachLayoutIsReadPairedByNamesAndConverted) {
    const std::vector<ExportCase> cases = {
        {"google.csv",
         3,
         "UTF-8",
         ",",
         0,
         {"N:Holt;Maren;;", "EMAIL;type=INTERNET;type=WORK:maren.holt@fjordline.example",
          "EMAIL;type=INTERNET;type=HOME:maren@holt.example", "TEL;type=CELL:+47 912 34 567",
          "TEL;type=WORK;type=FAX:+47 22 00 11 22",
          "ADR;type=HOME:;;Strandveien 4;Oslo;;0150;Norway",
          "URL;type=HOME:https://holt.example/maren", "N:Wendt;Tobias;J.;Dr.;",
          // "* Home" types both values: the second, with Home taken, goes untyped.
          "EMAIL;type=INTERNET;type=HOME:tobias@wendt.example",
          "EMAIL;type=INTERNET:t.wendt@mail.example", "TEL;type=WORK:491701000000",
          "TEL;type=CELL:0171 5550101", "ADR;type=WORK:;;Hafenstr. 9;Kiel;SH;24103;Germany",
          "EMAIL;type=INTERNET;type=OTHER:ines.c@example.org", "TEL;type=CELL:+351 912 000 111",
          "URL;type=WORK:https://carvalho.example"}},
        {"outlook-en.csv",
         2,
         "Windows-1252",
         ",",
         0,
         {"N:O'Shea;Fiona;;Ms.;", "ORG:Brightwater Ltd;Sales", "TITLE:Account Manager",
          "ADR;type=WORK:;;12 Quay Road;Cork;;T12 X2Y3;Ireland", "TEL;type=WORK:+353 21 555 0100",
          "TEL;type=CELL:+353 87 555 0199",
          "EMAIL;type=INTERNET;type=WORK:fiona.oshea@brightwater.example",
          "EMAIL;type=INTERNET:fiona@oshea.example", "URL;type=HOME:www.brightwater.example",
          "N:Mac Cárthaigh;Seán;;", "ADR;type=HOME:;;3 Mill Lane;Galway;;H91 AB12;Ireland"}},
        {"outlook-de.csv",
         2,
         "Windows-1252",
         ";",
         0,
         {"N:Bäumler;Jördis;;Frau;", "ORG:Müller & Söhne GmbH;Einkauf", "TITLE:Leiterin",
          "ADR;type=WORK:;;Königstraße 12;Stuttgart;BW;70173;Deutschland",
          "TEL;type=CELL:491701000000", "TEL;type=WORK;type=FAX:0711 555 01 99",
          "EMAIL;type=INTERNET;type=WORK:joerdis.baeumler@mueller-soehne.example",
          "EMAIL;type=INTERNET:jb@baeumler.example",
          "ADR;type=HOME:;;Gartenweg 3;Lübeck;;23552;Deutschland", "TEL;type=HOME:0451 555 77"}},
        {"thunderbird.csv",
         2,
         "UTF-8",
         ",",
         0,
         {"FN:Kalle Nyström", "ORG:Norrsken AB;R&D", "TITLE:Developer",
          "ADR;type=WORK:;;Sveavägen 20;Stockholm;;111 57;Sweden",
          "EMAIL;type=INTERNET;type=WORK:kalle@nystrom.example",
          "EMAIL;type=INTERNET:kalle.n@post.example", "TEL;type=CELL:070-555 66 77",
          "URL;type=WORK:https://norrsken.example",
          "ADR;type=HOME:;;Mannerheimintie 5;Helsinki;;00100;Finland"}},
        {"linkedin.csv",
         2,
         "UTF-8",
         ",",
         2,
         {"N:Raman;Priya;;", "TITLE:Data Scientist", "ORG:Lotus Analytics",
          "EMAIL;type=INTERNET;type=WORK:priya.raman@example.com",
          "URL;type=HOME:https://www.linkedin.com/in/priya-raman-example",
          "ORG:Keller\\, Berg & Partner"}},
        {"yahoo.csv",
         1,
         "UTF-8",
         ",",
         0,
         {"N:Whitfield;Dana;;", "TEL;type=HOME:555-0142", "TEL;type=WORK:555-0199",
          "TEL;type=CELL:555-0177", "EMAIL;type=INTERNET;type=WORK:dana.whitfield@yahoo.example",
          "EMAIL;type=INTERNET:dana@whitfield.example",
          "ADR;type=HOME:;;22 Oak St;Portland;OR;97201;USA"}},
        {"apple.csv",
         1,
         "UTF-16LE",
         "tab",
         0,
         {"N:Moreau;Léa;;", "ORG:Atelier Moreau", "TEL;type=CELL:+33 6 12 34 56 78",
          "EMAIL;type=INTERNET;type=WORK:lea@atelier-moreau.example",
          "ADR;type=HOME:;;8 rue des Lilas;Paris;;75019;"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TempHome home;
        TempDir destination;
        ExportSession session;
        ASSERT_EQ(session.load(OLVENMARK_EXPORTS_DIR "/" + c.file),
                  ExportSession::LoadStatus::Loaded);
        ASSERT_EQ(session.contacts(), c.contacts);
        const CsvLoadDiagnostics& found = session.diagnostics();
        EXPECT_EQ(found.encoding, c.encoding);
        EXPECT_EQ(found.delimiter, c.delimiter);
        EXPECT_EQ(found.preambleLinesSkipped, c.preamble);
        EXPECT_EQ(found.wideRows, 0u);

        EXPECT_GT(session.pairByNames(), 0u);
        EXPECT_EQ(session.remainingByNames(), 0u);
        // What a typed group reads is no longer offered for pairing by hand.
        for (const auto& column : session.freeColumns()) {
            EXPECT_EQ(column.find(" - Value"), std::string::npos) << column;
        }
        ASSERT_TRUE(session.check());
        ASSERT_TRUE(session.start(destination.str()));
        session.wait();
        ASSERT_EQ(session.report()->written, c.contacts);
        const std::string cards = allCards(destination.path());
        for (const auto& line : c.lines) {
            EXPECT_NE(cards.find("\n" + line + "\n"), std::string::npos) << line << "\n" << cards;
        }
    }
}
