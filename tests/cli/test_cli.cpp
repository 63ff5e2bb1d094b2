#include "CliTest.h"

#include <chrono>
#include <csignal>
#include <thread>

using namespace testsupport;

namespace {

const std::string kContacts = "First,Last,Mail,Phone\r\n"
                              "Ann,Lee,ann@x.org,4.47911E+11\r\n"
                              "Bob,Ray,\"bob@x.org\",555\r\n"
                              "Ann,Lee,other@x.org,1\r\n"
                              ",,nobody@x.org,2\r\n";

} // namespace

TEST_F(Cli, HelpAndVersion) {
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.exit, 0);
    for (const char* word : {"--map PROPERTY=HEADER", "--map-all", "--help", "--version",
                             "FirstName", "BusinessAddressPostalCode", "EmailAddressOther"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.exit, 0);
    EXPECT_EQ(version.out, "olvenmark-cli 1.0.0\n");
}

TEST_F(Cli, UnusableCommandLinesWriteNothing) {
    const std::string contacts = csv("contacts.csv", kContacts);
    const std::string out = destination().string();
    writeFile(dir.path() / "plain-file", "x");
    const std::string stale = csv("stale.txt", "# an older file\nFirstName=Given\n");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "CSV and DESTINATION are needed"},
        {{contacts, out}, "no pair"},
        {{"--encoding", "latin-9", "--map-all", contacts, out}, "--encoding takes"},
        {{"--delimiter=x", "--map-all", contacts, out}, "--delimiter takes"},
        {{"--bogus", contacts, out}, "unknown option '--bogus'"},
        {{"--format", "rfc", "--map-all", contacts, out},
         "--format takes classic, strict, 2.1 or 4.0, not 'rfc'"},
        {{"--phone-region", "XX", "--map-all", contacts, out}, "--phone-region takes"},
        {{"--map", "FirstName", contacts, out}, "--map takes PROPERTY=HEADER"},
        {{"--map", "Nick=First", contacts, out}, "unknown vCard property 'Nick'"},
        {{"--map", "FirstName=First", "--map", "FirstName=Last", contacts, out},
         "vCard property 'FirstName' is paired twice"},
        {{"--map", "FirstName=Missing", contacts, out}, "no column named 'Missing'"},
        {{"--map", "FirstName=first", contacts, out}, "no column named 'first'"},
        {{"--map", "FirstName=First", "--map", "LastName=First", contacts, out},
         "column 'First' is paired twice"},
        {{"--pairs", (dir.path() / "none.txt").string(), contacts, out},
         "pairs file '" + (dir.path() / "none.txt").string() + "' cannot be read: No such file"},
        {{"--pairs", stale, contacts, out},
         "pairs file '" + stale + "', line 2: no column named 'Given' in the header row"},
        {{"--map-all", "--save-pairs", dir.path().string(), contacts, out},
         "pairs file '" + dir.path().string() + "' cannot be written"},
        {{"--carddav", "https://h/", "--map-all", contacts}, "--carddav needs --user NAME"},
        {{"--user", "ann", "--map-all", contacts, out}, "go with --carddav URL"},
        {{"--carddav=https://h/", "--user=ann", "--single-file", "--map-all", contacts},
         "--single-file writes a file"},
        {{"--carddav", "https://h/", "--user", "ann", "--map-all", contacts, out},
         "with --carddav give one CSV and no DESTINATION"},
        {{"--carddav", "http://h/", "--user", "ann", "--map-all", contacts}, "is plain http"},
        {{"--carddav=https://h/", "--user=ann", "--connections=17", "--map-all", contacts},
         "--connections takes 1 to 16, not '17'"},
        {{"--carddav=https://h/", "--user=ann", "--connections=0", "--map-all", contacts},
         "--connections takes 1 to 16, not '0'"},
        {{"--replace-previous", "--map-all", contacts, out}, "go with --carddav URL"},
        {{"--id-column=First", "--map-all", contacts, out}, "goes with --strict or --carddav"},
        {{"--id-column=Id", "--strict", "--map-all", contacts, out}, "no column named 'Id'"},
        {{"--map-all", contacts, (dir.path() / "nowhere").string()}, "is not an existing folder"},
        {{"--map-all", contacts, (dir.path() / "plain-file").string()},
         "is not an existing folder"},
    };
    for (const auto& [args, message] : cases) {
        const Outcome o = run(args);
        EXPECT_EQ(o.exit, 2) << message;
        EXPECT_EQ(o.err.rfind("olvenmark-cli: ", 0), 0u) << o.err;
        EXPECT_NE(o.err.find(message), std::string::npos) << o.err;
        EXPECT_TRUE(o.out.empty());
    }
    EXPECT_TRUE(listFolder(out).empty());
}

TEST_F(Cli, UnusableCsvIsNamed) {
    const Outcome o =
        run({"--map-all", csv("bad.csv", "Only,A,Header\r\n"), destination().string()});
    EXPECT_EQ(o.exit, 2);
    EXPECT_EQ(o.err, "Invalid CSV file bad.csv. It holds a header row and no contacts.\n");
    EXPECT_TRUE(listFolder(destination()).empty());
}

TEST_F(Cli, MapPairsComeFirstThenTheRestInOrder) {
    const std::string contacts = csv("contacts.csv", kContacts);
    const Outcome o =
        run({"--map", "EmailAddressWork=Mail", "--map-all", contacts, destination().string()});
    EXPECT_EQ(o.exit, 0) << o.err;
    EXPECT_TRUE(o.err.empty()); // no progress bar when standard error is not a terminal
    const fs::path folder = onlySubfolder(destination());
    EXPECT_EQ(o.out, "Total Contacts\t : 4\nSuccessful\t\t : 4\nFailed\t\t : 0\n\nvCards can be "
                     "found at path :\n" +
                         folder.string() + "/\n");
    EXPECT_EQ(listFolder(folder), (std::vector<std::string>{"AnnLee(1).vcf", "AnnLee.vcf",
                                                            "BobRay.vcf", "no_name1.vcf"}));
    EXPECT_EQ(readFile(folder / "BobRay.vcf"),
              "begin:vcard\nversion:3.0\nFN:Bob Ray\nN:Ray;Bob;555;\n"
              "EMAIL;type=INTERNET;type=WORK:bob@x.org\nend:vcard");
    EXPECT_NE(readFile(home.logFile()).find("INFO: End: STEP 3"), std::string::npos);
}

TEST_F(Cli, FormatStrictIsTheStrictOption) {
    const std::string contacts = csv("contacts.csv", kContacts);
    std::vector<std::string> cards;
    for (const std::string option : {"--strict", "--format=strict"}) {
        const fs::path out = dir.path() / option;
        fs::create_directories(out);
        EXPECT_EQ(run({option, "--map-all", contacts, out.string()}).exit, 0) << option;
        cards.push_back(readFile(onlySubfolder(out) / "BobRay.vcf"));
    }
    EXPECT_EQ(cards[0].rfind("BEGIN:VCARD\r\n", 0), 0u) << cards[0];
    EXPECT_EQ(cards[0], cards[1]);
}

TEST_F(Cli, TelephoneNumbersInInternationalForm) {
    const std::string contacts = csv("phones.csv", "First,Mobile\r\nAnn,0171 7654321\r\n"
                                                   "Bob,12\r\nCy,1.711234567E+9\r\nDi,x\r\n");
    const Outcome o =
        run({"--phone-region", "de", "--format", "4.0", "--single-file", "--map", "FirstName=First",
             "--map", "MobileNumber=Mobile", contacts, destination().string()});
    EXPECT_EQ(o.exit, 0) << o.err;
    const std::string cards = readFile(onlySubfolder(destination()) / "phones.vcf");
    for (const char* line :
         {"TEL;TYPE=cell;VALUE=uri:tel:+49-171-7654321\r\n", "TEL;TYPE=cell:12\r\n",
          "TEL;TYPE=cell;VALUE=uri:tel:+49-171-1234567\r\n", "TEL;TYPE=cell:x\r\n"}) {
        EXPECT_NE(cards.find(line), std::string::npos) << line << cards;
    }
    EXPECT_NE(
        readFile(home.logFile()).find("] Info: 2 telephone numbers left as written (rows 3, 5)\n"),
        std::string::npos);
}

TEST_F(Cli, RealExportsPairByNames) {
    for (const char* file : {"google.csv", "outlook-en.csv", "outlook-de.csv", "thunderbird.csv",
                             "linkedin.csv", "yahoo.csv", "apple.csv"}) {
        const Outcome o = run(
            {"--map-auto", std::string(OLVENMARK_EXPORTS_DIR "/") + file, destination().string()});
        EXPECT_EQ(o.exit, 0) << file << o.err;
        EXPECT_NE(o.out.find("Failed\t\t : 0\n"), std::string::npos) << file;
    }
}

TEST_F(Cli, SavedPairsPairTheSameColumnsAgain) {
    // Typed groups in one export, carried and joined columns in the other.
    for (const auto& [file, line] : {std::pair{"google.csv", "\ntyped=E-mail 1 - Value\n"},
                                     std::pair{"thunderbird.csv", "\njoined=Birth Year, Birth "
                                                                  "Month, Birth Day\n"}}) {
        const std::string csv = std::string(OLVENMARK_EXPORTS_DIR "/") + file;
        const std::string pairs = (dir.path() / (std::string(file) + ".txt")).string();
        std::vector<fs::path> runs;
        for (const auto& args : {std::vector<std::string>{"--map-auto", "--save-pairs", pairs},
                                 std::vector<std::string>{"--pairs", pairs}}) {
            const fs::path out = dir.path() / (file + std::to_string(runs.size()));
            fs::create_directories(out);
            auto all = args;
            all.insert(all.end(), {csv, out.string()});
            const Outcome o = run(all);
            EXPECT_EQ(o.exit, 0) << o.err;
            runs.push_back(onlySubfolder(out));
        }
        EXPECT_NE(readFile(pairs).find(line), std::string::npos) << readFile(pairs);
        ASSERT_EQ(listFolder(runs[0]), listFolder(runs[1]));
        for (const auto& name : listFolder(runs[0])) {
            EXPECT_EQ(readFile(runs[0] / name), readFile(runs[1] / name)) << name;
        }
    }
}

TEST_F(Cli, SomeContactsNotWrittenExitsOne) {
    const Outcome o =
        run({"--map-all", csv("c.csv", "A,B,C\r\n1,2,3\r\nshort\r\n"), destination().string()});
    EXPECT_EQ(o.exit, 1);
    EXPECT_NE(o.out.find("Successful\t\t : 1\nFailed\t\t : 1\n"), std::string::npos);
}

TEST_F(Cli, InterruptHangUpAndTerminateCancelLikeTheCancelButton) {
    std::string text = "First,Last\r\n";
    for (int i = 0; i < 200000; ++i) {
        text += "N" + std::to_string(i) + ",X\r\n";
    }
    const std::string contacts = csv("big.csv", text);
    for (const auto& [signal, exit] : {std::pair{SIGINT, 130}, {SIGHUP, 129}, {SIGTERM, 143}}) {
        const fs::path out = dir.path() / std::to_string(signal);
        fs::create_directories(out);
        const pid_t pid = start({"--map-all", contacts, out.string()});
        // Interrupt once the run has written its first files.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            const fs::path folder = onlySubfolder(out);
            if (!folder.empty() && fs::exists(folder / "N10X.vcf")) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        kill(pid, signal);
        const Outcome o = finish(pid);
        EXPECT_EQ(o.exit, exit) << o.out;
        ASSERT_EQ(o.out.rfind("Migration canceled.\nTotal Contacts\t : 200000\n", 0), 0u) << o.out;
        // Every name in the folder holds a whole card.
        const auto written = listFolder(onlySubfolder(out));
        for (const auto& name : written) {
            EXPECT_TRUE(readFile(onlySubfolder(out) / name).ends_with("end:vcard")) << name;
        }
        EXPECT_LT(written.size(), 200000u);
        EXPECT_NE(o.out.find("Successful\t\t : " + std::to_string(written.size()) + "\n"),
                  std::string::npos);
    }
}

TEST_F(Cli, WhatWentWrongIsSaidFirst) {
    // A destination so deep that no run folder fits in a path below it.
    fs::path deep = dir.path();
    while (deep.string().size() < 4080) {
        deep /= std::string(std::min<std::size_t>(200, 4080 - deep.string().size()), 'd');
    }
    fs::create_directories(deep);
    std::string header = "First,Last";
    std::string cells;
    for (int i = 0; i < 24; ++i) {
        header += ",C" + std::to_string(i);
        cells += ",x";
    }
    const std::string text =
        header + "\r\nRen\xE9,Lee\xC3\xA9" + cells + "\r\nAnn,\"Lee" + cells + "\r\n";
    const Outcome o = run({"--map", "FirstName=First", csv("c.csv", text), deep.string()});
    EXPECT_EQ(o.exit, 1);
    EXPECT_EQ(o.out, "Export stopped at contact 1: no run folder could be made in " +
                         deep.string() +
                         ": File name too long\nTotal Contacts\t : 2\nSuccessful\t\t : 0\n"
                         "Failed\t\t : 2\n");
    for (const std::string& line : std::vector<std::string>{
             "olvenmark-cli: row 3 has an unclosed quote.\n",
             "olvenmark-cli: 1 byte that is not UTF-8 was read as Windows-1252, in row 2.\n",
             // Of the columns left unpaired, twenty are named.
             "'C18' (1 value) and 5 more columns;",
         }) {
        EXPECT_NE(o.err.find(line), std::string::npos) << o.err;
    }
}
