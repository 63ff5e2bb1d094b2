#include "cli/Password.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <iterator>
#include <termios.h>
#include <unistd.h>

namespace {

// The terminal as it was, put back when Ctrl-C ends the program during the prompt.
int promptTerminal = -1;
termios promptBefore{};

extern "C" void restoreAndStop(int signal) {
    tcsetattr(promptTerminal, TCSAFLUSH, &promptBefore);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

std::optional<std::string> readPassword(const std::string& user) {
    if (const char* value = std::getenv("OLVENMARK_CARDDAV_PASSWORD")) {
        return std::string(value);
    }
    const int tty = open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (tty < 0) {
        return std::nullopt;
    }
    termios before{};
    if (tcgetattr(tty, &before) != 0) {
        close(tty);
        return std::nullopt;
    }
    promptTerminal = tty;
    promptBefore = before;
    // Whatever ends the program during the prompt, the terminal echoes again.
    constexpr int kEnding[] = {SIGINT, SIGTERM, SIGHUP};
    decltype(SIG_DFL) previous[std::size(kEnding)];
    for (std::size_t i = 0; i < std::size(kEnding); ++i) {
        previous[i] = std::signal(kEnding[i], restoreAndStop);
    }
    termios quiet = before;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(tty, TCSAFLUSH, &quiet);
    // The prompt only once the echo is off: what is typed after it is neither
    // shown nor flushed away.
    const std::string prompt = "Password for " + user + ": ";
    [[maybe_unused]] auto shown = write(tty, prompt.data(), prompt.size());
    std::string password;
    char c = 0;
    while (read(tty, &c, 1) == 1 && c != '\n') {
        password += c;
    }
    tcsetattr(tty, TCSAFLUSH, &before);
    for (std::size_t i = 0; i < std::size(kEnding); ++i) {
        std::signal(kEnding[i], previous[i]);
    }
    shown = write(tty, "\n", 1);
    close(tty);
    return password;
}
