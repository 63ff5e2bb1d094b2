// Debian's Radicale started for a test on 127.0.0.1 at a free port, with its
// own storage folder and one htpasswd user, ann, whose password is kPassword;
// and Debian's Xandikos, started the same way.
#pragma once

#include "LocalServer.h"
#include "TestSupport.h"

#include "carddav/HttpClient.h"

namespace testsupport {

inline constexpr const char* kPassword = "s3cret-Pa55";

// A self-signed certificate for 127.0.0.1 made with openssl in `dir` (cert.pem
// and key.pem); the [server] lines that make Radicale serve https with it.
inline std::string selfSignedTls(const fs::path& dir) {
    const fs::path cert = dir / "cert.pem";
    const fs::path key = dir / "key.pem";
    const std::string make = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "
                             "/CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " +
                             key.string() + " -out " + cert.string() + " 2>/dev/null";
    EXPECT_EQ(std::system(make.c_str()), 0);
    return "ssl = True\ncertificate = " + cert.string() + "\nkey = " + key.string();
}

// Makes an address book at `url` with an extended MKCOL; its URL.
inline std::string makeAddressBook(const std::string& url, const std::string& name,
                                   const std::string& caFile = {}) {
    carddav::HttpClient client({"ann", kPassword, caFile, true});
    const auto answer = client.request(
        "MKCOL", url, {"Content-Type: application/xml"},
        R"(<mkcol xmlns="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav"><set><prop>)"
        R"(<resourcetype><collection/><c:addressbook/></resourcetype><displayname>)" +
            name + "</displayname></prop></set></mkcol>");
    EXPECT_EQ(answer.status, 201) << answer.describe();
    return url;
}

class Radicale {
public:
    // `server` adds lines to the [server] section (ssl, max_content_length).
    explicit Radicale(const std::string& server = {}) {
        writeFile(dir_.path() / "users", std::string("ann:") + kPassword + "\n");
        writeFile(dir_.path() / "config",
                  "[server]\nhosts = 127.0.0.1:" + std::to_string(process_.port()) + "\n" + server +
                      "\n[auth]\ntype = htpasswd\nhtpasswd_encryption = plain\n"
                      "htpasswd_filename = " +
                      (dir_.path() / "users").string() + "\n[storage]\nfilesystem_folder = " +
                      (dir_.path() / "store").string() + "\n[logging]\nlevel = warning\n");
        process_.start({"radicale", "--config", (dir_.path() / "config").string()},
                       (dir_.path() / "radicale.log").string());
    }

    // Ends the server at once, as a crash or a pulled cable would.
    void stop() { process_.stop(); }
    std::uint16_t port() const { return process_.port(); }

    std::string root(const char* scheme = "http") const {
        return std::string(scheme) + "://127.0.0.1:" + std::to_string(process_.port()) + "/";
    }
    const fs::path& dir() const { return dir_.path(); }

    // Makes an address book /ann/<segment>/ with an extended MKCOL; its URL.
    std::string makeBook(const std::string& segment, const std::string& name,
                         const std::string& caFile = {}, const char* scheme = "http") {
        return makeAddressBook(root(scheme) + "ann/" + segment + "/", name, caFile);
    }

    // The cards stored in an address book, as storedCards() reads them.
    std::map<std::string, std::vector<std::string>> stored(const std::string& segment) const {
        return storedCards(dir_.path() / "store" / "collection-root" / "ann" / segment);
    }

    // A content line with its TYPE parameters in one, as the server writes them:
    // "EMAIL;type=A;type=B:x" reads "EMAIL;TYPE=A,B:x".
    static std::string joinTypes(const std::string& line) {
        const auto colon = line.find(':');
        std::istringstream head(line.substr(0, colon));
        std::string name, types;
        std::getline(head, name, ';');
        for (std::string param; std::getline(head, param, ';');) {
            if (param.starts_with("type=") || param.starts_with("TYPE=")) {
                types += (types.empty() ? "" : ",") + param.substr(5);
            } else {
                name += ";" + param;
            }
        }
        return name + (types.empty() ? "" : ";TYPE=" + types) + line.substr(colon);
    }

    // Adds a card to a map made like stored()'s.
    static void addCard(std::map<std::string, std::vector<std::string>>& cards, std::string text) {
        for (std::size_t at; (at = text.find("\r\n ")) != std::string::npos;) {
            text.erase(at, 3);
        }
        std::vector<std::string> lines;
        std::string uid;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line, '\n');) {
            line.erase(line.find_last_not_of('\r') + 1);
            uid = line.starts_with("UID:") ? line.substr(4) : uid;
            lines.push_back(joinTypes(line));
        }
        std::sort(lines.begin(), lines.end());
        cards[uid] = lines;
    }

    // The cards in a server's folder: UID -> the card's lines, unfolded and
    // sorted, since a server keeps the content and not the order or folding.
    static std::map<std::string, std::vector<std::string>> storedCards(const fs::path& folder) {
        std::map<std::string, std::vector<std::string>> cards;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".vcf") {
                addCard(cards, readFile(entry.path()));
            }
        }
        return cards;
    }

private:
    TempDir dir_;
    LocalServer process_;
};

// Debian's Xandikos started for a test the same way. It leaves the user's
// password to a proxy in front of it, so it takes any; its address books are
// made under /ann/contacts/, and the one it starts with is removed.
class Xandikos {
public:
    Xandikos() {
        process_.start({"xandikos", "-d", (dir_.path() / "store").string(), "--defaults", "-l",
                        "127.0.0.1", "-p", std::to_string(process_.port()),
                        "--current-user-principal", "/ann/"},
                       (dir_.path() / "xandikos.log").string());
        carddav::HttpClient({"ann", kPassword, {}, true})
            .request("DELETE", root() + "ann/contacts/addressbook/");
    }

    void stop() { process_.stop(); }
    std::uint16_t port() const { return process_.port(); }
    std::string root() const { return "http://127.0.0.1:" + std::to_string(port()) + "/"; }

    std::string makeBook(const std::string& segment, const std::string& name) {
        return makeAddressBook(root() + "ann/contacts/" + segment + "/", name);
    }

    std::map<std::string, std::vector<std::string>> stored(const std::string& segment) const {
        return Radicale::storedCards(dir_.path() / "store" / "ann" / "contacts" / segment);
    }

private:
    TempDir dir_;
    LocalServer process_;
};

} // namespace testsupport
