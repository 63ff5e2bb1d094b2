// 1,000 varied contacts exported, then every file read back by a strict vCard
// reader of the test's own and compared field by field with the CSV.
#include "TestSupport.h"
#include "engine/RunState.h"
#include "engine/newConvertor.h"

#include <gtest/gtest.h>

#include <map>

using namespace testsupport;

namespace {

// Reads one vCard 3.0 text: "NAME;params:value" lines, values unescaped, the
// structured ones split at unescaped semicolons. Anything malformed fails.
struct Card {
    std::multimap<std::string, std::vector<std::string>> lines;

    std::vector<std::string> one(const std::string& head) const {
        EXPECT_EQ(lines.count(head), 1u) << head;
        const auto it = lines.find(head);
        return it == lines.end() ? std::vector<std::string>{} : it->second;
    }
    bool has(const std::string& head) const { return lines.count(head) > 0; }
};

std::vector<std::string> splitValue(const std::string& raw, bool structured) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\\') {
            EXPECT_LT(i + 1, raw.size()) << "dangling backslash in " << raw;
            const char next = i + 1 < raw.size() ? raw[++i] : '\\';
            EXPECT_TRUE(next == '\\' || next == ';' || next == ',' || next == 'n') << raw;
            parts.back() += next == 'n' ? '\n' : next;
        } else if (c == ';' && structured) {
            parts.emplace_back();
        } else {
            EXPECT_TRUE(c != ',' && c != ';') << "unescaped separator in " << raw;
            parts.back() += c;
        }
    }
    return parts;
}

Card parseCard(const std::string& text) {
    Card card;
    std::vector<std::string> rows;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) {
        rows.push_back(line);
    }
    EXPECT_GE(rows.size(), 3u);
    EXPECT_EQ(rows.front(), "begin:vcard");
    EXPECT_EQ(rows[1], "version:3.0");
    EXPECT_EQ(rows.back(), "end:vcard");
    for (std::size_t i = 2; i + 1 < rows.size(); ++i) {
        const auto colon = rows[i].find(':');
        EXPECT_NE(colon, std::string::npos) << rows[i];
        const std::string head = rows[i].substr(0, colon);
        const std::string raw = rows[i].substr(colon + 1);
        const bool structured = head == "N" || head == "ORG" || head.starts_with("ADR");
        // URLs keep their commas and semicolons as they are.
        card.lines.emplace(head, head.starts_with("URL") ? std::vector<std::string>{raw}
                                                         : splitValue(raw, structured));
    }
    return card;
}

struct Contact {
    std::string first, last, middle, title, company, department, street, city, postal;
    std::string phone, phoneExpected, web, mail, id;
};

std::string quoted(const std::string& value) {
    std::string out = "\"";
    for (const char c : value) {
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return out + "\"";
}

// Deterministic, varied contacts: accents, quotes, commas, semicolons,
// backslashes, multi-line streets, empty fields, numbers with exponents, long
// and repeated names.
Contact makeContact(int i) {
    static const char* const firsts[] = {
        "Zoë",        "O\"Neil", "Ann, Jr", "Back\\slash",          "Émile",
        "Semi;colon", "李",      "",        "Maximilian-Alexander", "Ann"};
    static const char* const lasts[] = {
        "Müller", "Lee", "", "Smith;Jones", "Featherstonehaugh-Smythe",
        "D'Arcy", "Ray", "", "Nguyễn",      "Lee"};
    static const std::pair<const char*, const char*> phones[] = {
        {"4.47911E+11", "447911000000"},
        {"555-0100", "555-0100"},
        {"1.5e3", "1500"},
        {"", ""},
        {"+44 20 7946 0958", "+44 20 7946 0958"},
        {"0E0", "0E0"}};
    Contact c;
    c.first = firsts[i % 10];
    c.last = lasts[(i / 10) % 10];
    c.middle = i % 7 == 0 ? "Q." : "";
    c.title = i % 5 == 0 ? "Dr." : "";
    c.company = i % 3 == 0 ? "Acme, Inc; \"Labs\"" : "";
    c.department = i % 6 == 0 ? "R&D\\Ops" : "";
    c.street =
        i % 4 == 0 ? "1 Main St\r\nFlat " + std::to_string(i) : std::to_string(i) + " Elm Rd";
    c.city = "Springfield";
    c.postal = i % 8 == 0 ? "6.2701E+4" : "62701";
    c.phone = phones[i % 6].first;
    c.phoneExpected = phones[i % 6].second;
    c.web = i % 9 == 0 ? "http://example.org/a;b,c?d=1" : "";
    c.mail = i % 11 == 0 ? "" : "person" + std::to_string(i) + "@example.org";
    c.id = "id" + std::to_string(i);
    return c;
}

} // namespace

TEST(RoundTrip, EveryWrittenContactCarriesExactlyItsValues) {
    TempHome home;
    TempDir dir;
    std::string csv = "First,Last,Middle,Title,Company,Department,Street,City,Postal,Phone,Web,"
                      "Mail,Id\r\n";
    std::vector<Contact> contacts;
    for (int i = 0; i < 1000; ++i) {
        const Contact c = makeContact(i);
        contacts.push_back(c);
        for (const std::string* field :
             {&c.first, &c.last, &c.middle, &c.title, &c.company, &c.department, &c.street, &c.city,
              &c.postal, &c.phone, &c.web, &c.mail}) {
            csv += quoted(*field) + ",";
        }
        csv += c.id + "\r\n";
    }
    writeFile(dir.path() / "c.csv", csv);
    RecordingClient client;
    auto convertor = std::make_shared<newConvertor>();
    ASSERT_EQ(convertor->startStep1((dir.path() / "c.csv").string(), &client), 1000);
    ASSERT_TRUE(convertor->startStep2({{"FirstName", "First"},
                                       {"LastName", "Last"},
                                       {"MiddleName", "Middle"},
                                       {"Title", "Title"},
                                       {"Company", "Company"},
                                       {"Department", "Department"},
                                       {"HomeAddressStreet", "Street"},
                                       {"HomeAddressCity", "City"},
                                       {"HomeAddressPostalCode", "Postal"},
                                       {"MobileNumber", "Phone"},
                                       {"PersonalWebPage", "Web"},
                                       {"EmailAddressWork", "Mail"},
                                       {"EmailAddressOther", "Id"}}));
    fs::create_directories(dir.path() / "out");
    convertor->startStep3({}, (dir.path() / "out").string());
    ASSERT_EQ(client.reports.at(0).written, 1000);

    std::map<std::string, Card> byId;
    for (const auto& entry : fs::directory_iterator(onlySubfolder(dir.path() / "out"))) {
        Card card = parseCard(readFile(entry.path()));
        const auto id = card.one("EMAIL;type=INTERNET;type=OTHER").at(0);
        EXPECT_TRUE(byId.emplace(id, std::move(card)).second) << "two files for " << id;
    }
    ASSERT_EQ(byId.size(), 1000u);
    for (const Contact& c : contacts) {
        SCOPED_TRACE(c.id);
        const Card& card = byId.at(c.id);
        const auto lf = [](std::string s) { // line breaks come back as line feeds
            for (std::size_t at; (at = s.find("\r\n")) != std::string::npos;) {
                s.replace(at, 2, "\n");
            }
            return s;
        };
        const bool named = !c.first.empty() || !c.last.empty() || !c.middle.empty();
        ASSERT_EQ(card.has("N"), named);
        if (named) {
            EXPECT_EQ(card.one("FN"), (std::vector<std::string>{c.first + " " + c.last}));
            std::vector<std::string> n = {c.last, c.first, c.middle};
            if (!c.title.empty()) {
                n.push_back(c.title);
            }
            n.emplace_back();
            EXPECT_EQ(card.one("N"), n);
        }
        if (!c.company.empty()) {
            std::vector<std::string> org = {c.company};
            if (!c.department.empty()) {
                org.push_back(c.department);
            }
            EXPECT_EQ(card.one("ORG"), org);
        }
        const std::string postal = c.postal == "6.2701E+4" ? "62701" : c.postal;
        EXPECT_EQ(card.one("ADR;type=HOME"),
                  (std::vector<std::string>{"", "", lf(c.street), c.city, "", postal, ""}));
        EXPECT_EQ(card.has("TEL;type=CELL"), !c.phone.empty());
        if (!c.phone.empty()) {
            EXPECT_EQ(card.one("TEL;type=CELL").at(0), c.phoneExpected);
        }
        EXPECT_EQ(card.has("URL;type=HOME"), !c.web.empty());
        if (!c.web.empty()) {
            EXPECT_EQ(card.one("URL;type=HOME").at(0), c.web);
        }
        EXPECT_EQ(card.has("EMAIL;type=INTERNET;type=WORK"), !c.mail.empty());
        if (!c.mail.empty()) {
            EXPECT_EQ(card.one("EMAIL;type=INTERNET;type=WORK").at(0), c.mail);
        }
    }
}
