#include "cli/password_prompt.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstring>

namespace vrn::cli {

namespace {

// While the echo is off, a signal that ends the program (Ctrl+C, a hang-up, kill) must not leave
// the user's terminal without it: the handler puts the saved settings back, then lets the signal
// do what it would have done.
int g_tty = -1;
termios g_saved{};
constexpr std::array kEndingSignals{SIGINT, SIGTERM, SIGQUIT, SIGHUP};

extern "C" void restoreEchoAndReraise(int signal) {
    if (g_tty >= 0) {
        ::tcsetattr(g_tty, TCSANOW, &g_saved);
        (void)::write(g_tty, "\n", 1);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

class EchoOff {
public:
    EchoOff(int tty, const termios& saved) {
        g_tty = tty;
        g_saved = saved;
        struct sigaction action {};
        action.sa_handler = restoreEchoAndReraise;
        sigemptyset(&action.sa_mask);
        for (size_t i = 0; i < kEndingSignals.size(); ++i)
            ::sigaction(kEndingSignals[i], &action, &previous_[i]);
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    ~EchoOff() {
        ::tcsetattr(g_tty, TCSAFLUSH, &g_saved);
        for (size_t i = 0; i < kEndingSignals.size(); ++i)
            ::sigaction(kEndingSignals[i], &previous_[i], nullptr);
        g_tty = -1;
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    std::array<struct sigaction, kEndingSignals.size()> previous_{};
};

std::string readLine(int tty) {
    std::string typed;
    char c = 0;
    // A line is plenty for a password; a longer one is cut rather than read for ever.
    while (typed.size() < 256 && ::read(tty, &c, 1) == 1 && c != '\n')
        typed.push_back(c);
    return typed;
}

}  // namespace

std::optional<std::string> askPasswordOnTerminal(const char* prompt) {
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0) return std::nullopt;
    // The echo goes off before the prompt shows, so nothing typed after it is ever echoed.
    std::string typed;
    termios saved{};
    if (::tcgetattr(tty, &saved) == 0) {
        EchoOff echoOff(tty, saved);
        (void)::write(tty, prompt, std::strlen(prompt));
        typed = readLine(tty);
    } else {
        (void)::write(tty, prompt, std::strlen(prompt));
        typed = readLine(tty);
    }
    (void)::write(tty, "\n", 1);
    ::close(tty);
    return typed;
}

}  // namespace vrn::cli
