// The export session both shells drive: pairing as the lists show it, and a
// run started, cancelled and waited for on its own thread.
#include "TestSupport.h"
#include "engine/ExportSession.h"
#include "engine/PairsFile.h"
#include "engine/RunState.h"
#include "engine/pair/Properties.h"

using namespace testsupport;
using Names = std::vector<std::string>;

namespace {

std::string contactsWithColumns(int n) {
    std::string header;
    std::string row;
    for (int i = 0; i < n; ++i) {
        header += (i ? "," : "") + std::string("C") + std::to_string(i);
        row += (i ? ",v" : "v");
    }
    return header + "\r\n" + row + "\r\n";
}

} // namespace

class Session : public ::testing::Test {
protected:
    TempHome home;
    TempDir dir;
    ExportSession session;

    std::int64_t load(const std::string& text) {
        writeFile(dir.path() / "c.csv", text);
        session.load((dir.path() / "c.csv").string());
        return session.contacts();
    }
    Names pairs() const {
        Names shown;
        for (const auto& p : session.pairs()) {
            shown.push_back(p.header + ">" + std::string(p.propertyName()));
        }
        return shown;
    }
};

TEST_F(Session, PairingKeepsBothListsAsTheUserSeesThem) {
    ASSERT_EQ(load("Mail,,Name,Mail,Town\r\na,,b,c,d\r\n"), 1);
    EXPECT_EQ(session.freeColumns(), (Names{"Mail", "Name", "Mail", "Town"}));
    EXPECT_EQ(session.freeProperties().size(), property::kCount);

    // A name leaves its list everywhere it stands.
    EXPECT_EQ(session.pair("Mail", "EmailAddressWork"), ExportSession::PairResult::Paired);
    EXPECT_EQ(session.freeColumns(), (Names{"Name", "Town"}));
    EXPECT_EQ(session.pair("Mail", "FirstName"), ExportSession::PairResult::UnknownColumn);
    EXPECT_EQ(session.pair("Name", "EmailAddressWork"), ExportSession::PairResult::UnknownProperty);
    EXPECT_FALSE(session.canPair("Mail", "FirstName"));
    EXPECT_FALSE(session.canPair("Name", "EmailAddressWork"));
    EXPECT_TRUE(session.canPair("Name", "FirstName"));
    EXPECT_EQ(userMappingDictionary,
              (std::map<std::string, std::string>{{"EmailAddressWork", "Mail"}}));

    // Both names come back at the end of their lists.
    EXPECT_EQ(session.pair("Name", "FirstName"), ExportSession::PairResult::Paired);
    const auto removed = session.unpair(0);
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->header, "Mail");
    EXPECT_FALSE(session.unpair(session.pairs().size()));
    EXPECT_FALSE(userMappingDictionary.contains("EmailAddressWork"));
    EXPECT_EQ(session.freeColumns(), (Names{"Town", "Mail"}));
    EXPECT_EQ(session.freeProperties().back(), "EmailAddressWork");
    EXPECT_EQ(session.freeProperties().front(), "LastName");

    // All remaining, by position, after the hand-made pairs.
    EXPECT_EQ(session.remainingByPosition(), 2u);
    EXPECT_EQ(session.pairAllRemaining(), 2u);
    EXPECT_EQ(pairs(), (Names{"Name>FirstName", "Town>LastName", "Mail>MiddleName"}));
    EXPECT_EQ(session.pairAllRemaining(), 0u);
    EXPECT_TRUE(session.check());
    EXPECT_EQ(mappingDictionary.at("2"), "0");

    // Pairing by position stops at the first 30 properties.
    session.clearPairs();
    ASSERT_EQ(load(contactsWithColumns(35)), 1);
    EXPECT_EQ(session.pairAllRemaining(), property::kPairedInOrder);
    EXPECT_EQ(session.freeColumns().size(), 5u);
    EXPECT_EQ(session.freeProperties().size(), property::kCount - property::kPairedInOrder);

    session.clearPairs();
    EXPECT_TRUE(session.pairs().empty());
    EXPECT_TRUE(userMappingDictionary.empty());
    EXPECT_EQ(session.freeColumns().size(), 35u);

    // Columns joined to another (a name's particle, a house number and its
    // addition) are no longer free, nor unpaired.
    ASSERT_EQ(load("Voornaam,Tussenvoegsel,Achternaam,Straat,Huisnummer,Toevoeging\r\n"
                   "Jan,van,Dijk,Dorpsstraat,12,a\r\n"),
              1);
    session.pairByNames();
    EXPECT_EQ(session.freeColumns(), Names{});
    EXPECT_TRUE(session.unpairedColumns().empty());

    // A recognised column whose property is taken is carried and named in the
    // log; columns with values that nothing takes are counted over the whole
    // file, and kept in the note when the options say so.
    session.clearPairs();
    ASSERT_EQ(load("Given Name,First Name,Lead Status,Favourite\r\nA,B,Hot,\r\nC,D,,\r\n"), 2);
    EXPECT_EQ(session.pairByNames(), 1u);
    EXPECT_EQ(session.freeColumns(), (Names{"Lead Status"}));
    const std::string log = readFile(home.logFile());
    EXPECT_NE(log.find("Info: Column 'First Name': its name, as a known export writes it; each "
                       "value goes into the note"),
              std::string::npos);
    const auto unpaired = session.unpairedColumns();
    ASSERT_EQ(unpaired.size(), 1u);
    EXPECT_EQ(unpaired[0].header, "Lead Status");
    EXPECT_EQ(unpaired[0].values, 1);
    EXPECT_NE(session.previewCard()->find("NOTE:First Name: B\n"), std::string::npos);
    session.setExportOptions({.keepUnpaired = true});
    EXPECT_NE(session.previewCard()->find("NOTE:First Name: B\\nLead Status: Hot\n"),
              std::string::npos);
    EXPECT_TRUE(session.check());
    EXPECT_NE(readFile(home.logFile())
                  .find("Info: Column 'Lead Status' not paired (values: 1): they go into the note"),
              std::string::npos);

    // Typed groups and carried columns are rows of their own that can be
    // dropped; pairing by names again leaves them out until the file is read again.
    session.setExportOptions({});
    ASSERT_EQ(load("Name,E-mail 1 - Label,E-mail 1 - Value,Name,Mobile Phone,Mobile Phone 2\r\n"
                   "Ann,Home,a@x,Lee,+44 7700 900123,+44 7700 900124\r\n"),
              1);
    session.pairByNames();
    using Row = ExportSession::CarriedRow;
    const auto rows = [this] {
        std::vector<std::string> out;
        for (const Row& row : session.carriedRows()) {
            out.push_back(row.column + " > " + row.becomes);
        }
        return out;
    };
    EXPECT_EQ(rows(), (Names{"E-mail 1 - Value > EMAIL, typed by each row's label",
                             "Name > the note", "Mobile Phone 2 > TEL;CELL"}));
    // The rows count the typed groups first, then the carried columns.
    EXPECT_TRUE(session.dropCarried(1));
    EXPECT_EQ(rows(), (Names{"E-mail 1 - Value > EMAIL, typed by each row's label",
                             "Mobile Phone 2 > TEL;CELL"}));
    EXPECT_TRUE(session.dropCarried(0));
    EXPECT_FALSE(session.dropCarried(1));
    EXPECT_EQ(session.freeColumns(), (Names{"Name", "E-mail 1 - Label", "E-mail 1 - Value"}));
    EXPECT_EQ(session.previewCard()->find("EMAIL"), std::string::npos);
    session.pairByNames();
    EXPECT_EQ(rows(), (Names{"Mobile Phone 2 > TEL;CELL"}));
    ASSERT_EQ(load("Name,E-mail 1 - Label,E-mail 1 - Value,Name,Mobile Phone,Mobile Phone 2\r\n"
                   "Ann,Home,a@x,Lee,+44 7700 900123,+44 7700 900124\r\n"),
              1);
    session.pairByNames();
    EXPECT_EQ(rows().size(), 3u);
    EXPECT_NE(session.previewCard()->find("EMAIL;type=INTERNET;type=HOME:a@x"), std::string::npos);
}

TEST_F(Session, APairsFileMakesThePairingAgainRemovalsIncluded) {
    ASSERT_EQ(load("Given Name,Surname,E-mail 1 - Label,E-mail 1 - Value,Mobile,Cell,Back\\slash,"
                   "\"Two\nLines\"\r\nAnn,Lee,Home,a@x.org,+47 912 34 567,+47 913 00 000,b,c\r\n"),
              1);
    session.pair("Back\\slash", "Nickname");
    session.pair("Two\nLines", "Notes");
    session.pairByNames();
    session.unpair(3);      // Surname, by names
    session.dropCarried(1); // Cell, carried as a further mobile
    const std::string text = writePairsText(session);
    EXPECT_EQ(text.substr(text.find("\nNickname")),
              "\nNickname=Back\\\\slash\nNotes=Two\\nLines\nFirstName=Given Name\n"
              "MobileNumber=Mobile\ntyped=E-mail 1 - Value\n-LastName=Surname\n-carried=Cell\n");
    const auto before =
        std::make_tuple(pairs(), session.carriedRows().size(), session.freeColumns());

    // Read again with Windows line ends, a comment and a blank line: the same
    // pairing, and pairing by names still leaves out what was removed.
    std::string edited = text + "\n# mine\n";
    for (std::size_t at = 0; (at = edited.find('\n', at)) != std::string::npos; at += 2) {
        edited.insert(at, "\r");
    }
    const PairsRead read = readPairsText(edited);
    ASSERT_TRUE(read.pairs) << read.error;
    ASSERT_EQ(load(readFile(dir.path() / "c.csv")), 1);
    EXPECT_EQ(applyPairsFile(session, *read.pairs), "");
    EXPECT_EQ(std::make_tuple(pairs(), session.carriedRows().size(), session.freeColumns()),
              before);
    EXPECT_EQ(session.pairByNames(), 0u);
    EXPECT_EQ(writePairsText(session), text);

    // What does not fit is named by its line; the rest is still made.
    for (const auto& [wrong, error] : std::vector<std::pair<std::string, std::string>>{
             {"FirstName=Given Name\nGiven Name", "line 2: PROPERTY=HEADER, typed=, carried= or "
                                                  "joined=HEADER, not 'Given Name'"},
             {"-Nick=Cell", "line 1: unknown vCard property 'Nick'"}}) {
        EXPECT_EQ(readPairsText(wrong).error, error);
    }
    PairsRead stale = readPairsText("LastName=Name\nFirstName=Given Name\nNotes=Given Name\n"
                                    "typed=Phone 1 - Value\n");
    ASSERT_TRUE(stale.pairs);
    EXPECT_EQ(applyPairsFile(session, *stale.pairs),
              "line 1: no column named 'Name' in the header row");
    EXPECT_EQ(pairs(), (Names{"Given Name>FirstName"}));
    stale.pairs->kept.erase(stale.pairs->kept.begin());
    EXPECT_EQ(applyPairsFile(session, *stale.pairs), "line 3: column 'Given Name' is paired twice");
    stale.pairs->kept.erase(stale.pairs->kept.begin() + 1);
    EXPECT_EQ(applyPairsFile(session, *stale.pairs),
              "line 4: pairing by names carries no column 'Phone 1 - Value'");
    EXPECT_TRUE(session.removals().empty());
}

TEST_F(Session, RunsReportsAndRefusesWhatItCannotDo) {
    EXPECT_FALSE(session.start(dir.str()));
    writeFile(dir.path() / "c.csv", "Name\r\n");
    EXPECT_EQ(session.load((dir.path() / "c.csv").string()), ExportSession::LoadStatus::Refused);
    EXPECT_EQ(ExportSession::invalidFileMessage("/x/my %d.csv"), "Invalid CSV file my %d.csv.");

    ASSERT_EQ(load("First,Last\r\nAnn,Lee\r\nBob,Ray\r\n"), 2);
    session.pairAllRemaining();
    ASSERT_TRUE(session.check());
    bool endedOnItsThread = false;
    ASSERT_TRUE(session.start(dir.str(), [&] { endedOnItsThread = !session.running(); }));
    session.wait();
    EXPECT_TRUE(endedOnItsThread);
    EXPECT_TRUE(session.waitFor(std::chrono::milliseconds(0)));
    EXPECT_EQ(session.progress(), 2);
    const auto report = session.report();
    ASSERT_TRUE(report);
    EXPECT_FALSE(report->cancelled);
    EXPECT_EQ(report->written, 2);
    EXPECT_EQ(listFolder(report->folder), (Names{"AnnLee.vcf", "BobRay.vcf"}));

    // A second run of the same file gets a run folder of its own beside the first.
    ASSERT_TRUE(session.start(dir.str()));
    session.wait();
    const auto again = session.report();
    ASSERT_TRUE(again);
    EXPECT_NE(again->folder, report->folder);
    EXPECT_EQ(fs::path(again->folder).parent_path().parent_path(),
              fs::path(report->folder).parent_path().parent_path());
    EXPECT_EQ(listFolder(again->folder), (Names{"AnnLee.vcf", "BobRay.vcf"}));
    EXPECT_EQ(listFolder(report->folder).size(), 2u);
}

TEST_F(Session, CancelStopsAfterTheContactInHand) {
    std::string text = "First,Last\r\n";
    for (int i = 0; i < 20000; ++i) {
        text += "A" + std::to_string(i) + ",B\r\n";
    }
    ASSERT_EQ(load(text), 20000);
    session.pairAllRemaining();
    ASSERT_TRUE(session.check());
    ASSERT_TRUE(session.start(dir.str()));
    EXPECT_FALSE(session.start(dir.str()));
    writeFile(dir.path() / "d.csv", "First\r\nA\r\n");
    EXPECT_EQ(session.load((dir.path() / "d.csv").string()), ExportSession::LoadStatus::Busy);
    EXPECT_EQ(session.contacts(), 20000); // the run still reads the loaded file
    session.cancel();
    EXPECT_TRUE(session.cancelRequested());
    session.wait();
    const auto report = session.report();
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->cancelled);
    EXPECT_EQ(report->written, session.progress());
    EXPECT_LT(report->written, 20000);
    EXPECT_EQ(static_cast<std::int64_t>(listFolder(report->folder).size()), report->written);
}
