// The password prompt of olvenmark-cli on a real pseudo-terminal: what is
// typed comes back whole and is never shown.
#include "cli/Password.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Appends what the descriptor gives to `got` until it holds `wanted` (or, with
// nothing wanted, until the other side is closed); false after ten seconds.
bool readUntil(int fd, std::string& got, const std::string& wanted) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (wanted.empty() || got.find(wanted) == std::string::npos) {
        pollfd ready{fd, POLLIN, 0};
        if (std::chrono::steady_clock::now() > deadline || ::poll(&ready, 1, 100) < 0) {
            return false;
        }
        char buffer[256];
        const ssize_t n = ready.revents != 0 ? ::read(fd, buffer, sizeof buffer) : -2;
        if (n == 0 || (n == -1 && errno == EIO)) {
            return wanted.empty(); // the terminal's other side is closed
        }
        if (n > 0) {
            got.append(buffer, static_cast<std::size_t>(n));
        }
    }
    return true;
}

} // namespace

TEST(Password, TypedOnTheTerminalComesBackWholeAndIsNeverShown) {
    unsetenv("OLVENMARK_CARDDAV_PASSWORD");
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(grantpt(terminal), 0);
    ASSERT_EQ(unlockpt(terminal), 0);
    const std::string side = ptsname(terminal);
    int answer[2];
    ASSERT_EQ(pipe(answer), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        // A session of its own, whose controlling terminal is the pseudo-terminal.
        setsid();
        const int tty = open(side.c_str(), O_RDWR);
        const std::string password = readPassword("ann").value_or("<none>");
        close(tty);
        _exit(write(answer[1], password.data(), password.size()) < 0 ? 1 : 0);
    }
    close(answer[1]);
    std::string shown;
    ASSERT_TRUE(readUntil(terminal, shown, "Password for ann: ")) << shown;
    ASSERT_EQ(write(terminal, "s3 cr\xC3\xA9t\n", 10), 10);
    std::string password;
    EXPECT_TRUE(readUntil(answer[0], password, ""));
    readUntil(terminal, shown, "");
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(password, "s3 cr\xC3\xA9t");
    EXPECT_EQ(shown.find("s3"), std::string::npos) << shown;
    close(answer[0]);
    close(terminal);
}
