// A server program started for a test on 127.0.0.1 at a free port, ended with
// the test (or earlier, at once, as a crash or a pulled cable would end it).
#pragma once

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace testsupport {

class LocalServer {
public:
    // Finds the free port the program is to serve on.
    LocalServer() {
        const int probe = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof address;
        bind(probe, reinterpret_cast<sockaddr*>(&address), size);
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
        close(probe);
        port_ = ntohs(address.sin_port);
    }
    ~LocalServer() { stop(); }
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    std::uint16_t port() const { return port_; }

    // Starts the program (found on PATH) with its standard error in `log`, and
    // waits until it accepts connections at `host` (an IPv4 address).
    void start(std::vector<std::string> args, const std::string& log,
               const std::string& host = "127.0.0.1") {
        inet_pton(AF_INET, host.c_str(), &host_);
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT, 0644);
        posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        for (int i = 0; i < 200 && !accepting(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    void stop() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

    // True when something accepts connections at the port.
    bool accepting() const {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{AF_INET, htons(port_), host_, {}};
        const bool ok = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(s);
        return ok;
    }

private:
    std::uint16_t port_ = 0;
    in_addr host_{htonl(INADDR_LOOPBACK)};
    pid_t pid_ = -1;
};

} // namespace testsupport
