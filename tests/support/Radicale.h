// Debian's Radicale started for a test on 127.0.0.1 at a free port, with its
// own storage folder and one htpasswd user, ann, whose password is kPassword.
#pragma once

#include "TestSupport.h"

#include "carddav/HttpClient.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace testsupport {

inline constexpr const char* kPassword = "s3cret-Pa55";

class Radicale {
public:
    // `server` adds lines to the [server] section (ssl, max_content_length).
    explicit Radicale(const std::string& server = {}) {
        const int probe = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof address;
        bind(probe, reinterpret_cast<sockaddr*>(&address), size);
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
        close(probe);
        port_ = ntohs(address.sin_port);
        writeFile(dir_.path() / "users", std::string("ann:") + kPassword + "\n");
        writeFile(dir_.path() / "config",
                  "[server]\nhosts = 127.0.0.1:" + std::to_string(port_) + "\n" + server +
                      "\n[auth]\ntype = htpasswd\nhtpasswd_encryption = plain\n"
                      "htpasswd_filename = " +
                      (dir_.path() / "users").string() + "\n[storage]\nfilesystem_folder = " +
                      (dir_.path() / "store").string() + "\n[logging]\nlevel = warning\n");
        const std::string config = (dir_.path() / "config").string();
        std::vector<char*> argv = {const_cast<char*>("radicale"), const_cast<char*>("--config"),
                                   const_cast<char*>(config.c_str()), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string log = (dir_.path() / "radicale.log").string();
        posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT, 0644);
        posix_spawnp(&pid_, "radicale", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        for (int i = 0; i < 200 && !accepting(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~Radicale() { stop(); }

    // Ends the server at once, as a crash or a pulled cable would.
    void stop() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

    std::string root(const char* scheme = "http") const {
        return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_) + "/";
    }
    const fs::path& dir() const { return dir_.path(); }

    // Makes an address book /ann/<segment>/ with an extended MKCOL; its URL.
    std::string makeBook(const std::string& segment, const std::string& name,
                         const std::string& caFile = {}, const char* scheme = "http") {
        carddav::HttpClient client({"ann", kPassword, caFile, true});
        const std::string url = root(scheme) + "ann/" + segment + "/";
        const auto answer = client.request(
            "MKCOL", url, {"Content-Type: application/xml"},
            R"(<mkcol xmlns="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav"><set><prop>)"
            R"(<resourcetype><collection/><c:addressbook/></resourcetype><displayname>)" +
                name + "</displayname></prop></set></mkcol>");
        EXPECT_EQ(answer.status, 201) << answer.describe();
        return url;
    }

    // The cards stored in an address book: UID -> the card's lines, unfolded and
    // sorted, since the server keeps the content and not the order or folding.
    std::map<std::string, std::vector<std::string>> stored(const std::string& segment) const {
        std::map<std::string, std::vector<std::string>> cards;
        const fs::path folder = dir_.path() / "store" / "collection-root" / "ann" / segment;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".vcf") {
                addCard(cards, readFile(entry.path()));
            }
        }
        return cards;
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

private:
    bool accepting() const {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{AF_INET, htons(port_), {htonl(INADDR_LOOPBACK)}, {}};
        const bool ok = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(s);
        return ok;
    }

    TempDir dir_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
};

} // namespace testsupport
