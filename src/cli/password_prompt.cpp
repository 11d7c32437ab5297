#include "cli/password_prompt.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>

namespace vrn::cli {

std::optional<std::string> askPasswordOnTerminal(const char* prompt) {
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0) return std::nullopt;
    termios saved{};
    const bool isTerminal = ::tcgetattr(tty, &saved) == 0;
    if (isTerminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    (void)::write(tty, prompt, std::strlen(prompt));
    std::string typed;
    char c = 0;
    // A line is plenty for a password; a longer one is cut rather than read for ever.
    while (typed.size() < 256 && ::read(tty, &c, 1) == 1 && c != '\n')
        typed.push_back(c);
    if (isTerminal) ::tcsetattr(tty, TCSAFLUSH, &saved);
    (void)::write(tty, "\n", 1);
    ::close(tty);
    return typed;
}

}  // namespace vrn::cli
