// qx-sim: a timing device on a pseudo-terminal, for practice and tests without hardware.
//
// It opens a pseudo-terminal, prints the path of its slave side (the "serial port" to choose in
// stopky) as the first line on standard output, and then runs commands from a script file or from
// standard input, one per line. Commands that send bytes first wait until a program has opened the
// port: that is when the device counts as switched on. Messages go to standard error.
// Run "qx-sim --help" for the commands.

#include "qxsim_proto.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

namespace {

const char* kHelp = R"(usage: qx-sim [--version V] [--settle MS] [--link PATH] [SCRIPT]

Plays a timing device of version V (454, 456, 457, 458, 462, 463, 466, 467, 468; default 468) on a
pseudo-terminal. The first line on standard output is the port to open, e.g. /dev/pts/4; with
--link it is PATH, a symbolic link to the pseudo-terminal that keeps its name when the device is
unplugged and plugged in again (as a USB adapter's name would).
Commands come from SCRIPT, or from standard input when no SCRIPT is given; the program ends after
the last command (use "hold" to keep the port until it is killed). Numbers are decimal or 0x-hex,
times are seconds with "." or "," (12.345). Lines starting with # are comments.

Every command that sends waits until a program has the port open (the device is switched on
then), and after a fresh open for the settle time (default 100 ms).

  greet S T [V [X4 X5]]  the greeting: settings byte S, target type T (1 breaking, 2 making,
                         or 0xA1/0xA2; for 467 the preparation minutes as two decimal digits,
                         e.g. 0x12), time-shown byte V (0xAE yes, 0xAC no; default 0xAE).
                         466-468 send 01 S T V, 458 sends S 00 T, the others S 00 T X4 X5
                         (X4 X5 default D0 D0: the console reads three bytes and decodes the rest)
  settings S [S2]        settings frame 5A S (467: 5A S S2)
  prep                   preparation starts (55)
  reset                  reset (AA)
  start                  start (AB)
  recall                 show the last result set again (A5)
  targets breaking|making   target type A1 / A2
  shown yes|no           time shown on the device AE / AC
  status MASK            target/lane status D0|MASK (bit 0 = left target or lane 1)
  time CODE T            one time frame BA + record: target code 0-9 and time T
  lanes T1 [T2 [T3 [T4]]]   lane times (codes 6, 7, 8, 9)
  attack L|P T F [L|P T2 F2]  one attack (target time T on the left/right target, final time F;
                         codes 0/1 and 2) or two attacks (codes 3/4 and 5 for the second)
  raw HEX...             any bytes, e.g. "raw aa bb" or "raw 0xaa 0xbb"
  wait MS                pause
  waitopen               wait until a program has the port open
  version V              play another version from now on
  unplug                 the cable is pulled: the pseudo-terminal is closed (the program that
                         has it open sees its port fail) and the --link path removed
  plug                   plugged in again: a new pseudo-terminal, the --link path points to it;
                         commands that send wait for a program to open it
  hold                   keep the port open until the program is killed
  quit                   end now

A pseudo-terminal has no modem lines: the DTR pulse of stopky's automatic start cannot be seen
here; send "start" yourself after it.
)";

int g_verze = 468;
int g_settleMs = 100;
int g_master = -1;
int g_inotify = -1;
std::string g_slave;
std::string g_link;
bool g_wasOpen = false;

long long nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool readerHasPortOpen() {
    if (g_master < 0) return false;
    pollfd p{g_master, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0) return false;
    if (p.revents & POLLIN) { // the reader never writes; drop whatever comes
        char buf[256];
        while (::read(g_master, buf, sizeof buf) > 0) {
        }
    }
    return !(p.revents & POLLHUP);
}

// Waits up to `ms` (forever when negative) for an open or close of the port, and reports changes.
void watch(int ms) {
    const long long end = ms < 0 ? 0 : nowMs() + ms;
    for (;;) {
        const bool open = readerHasPortOpen();
        if (open != g_wasOpen) {
            std::fprintf(stderr, "qx-sim: port %s\n", open ? "opened" : "closed");
            g_wasOpen = open;
        }
        int left = -1;
        if (ms >= 0) {
            left = int(end - nowMs());
            if (left <= 0) return;
        }
        // inotify reports opens and closes of the slave; while nobody has it open, recheck every
        // 200 ms as well (opens by a program that does not trigger inotify).
        if (left < 0 || left > 200) left = 200;
        pollfd p{g_inotify, POLLIN, 0};
        if (::poll(&p, 1, left) > 0) {
            char buf[4096];
            while (::read(g_inotify, buf, sizeof buf) > 0) {
            }
        }
        if (ms < 0) return;
    }
}

void waitOpen() {
    if (readerHasPortOpen()) {
        if (!g_wasOpen) {
            std::fprintf(stderr, "qx-sim: port opened\n");
            g_wasOpen = true;
        }
        return;
    }
    std::fprintf(stderr, "qx-sim: waiting for a program to open %s\n", g_slave.c_str());
    while (!readerHasPortOpen())
        watch(-1);
    g_wasOpen = true;
    std::fprintf(stderr, "qx-sim: port opened\n");
    watch(g_settleMs);
}

struct Error {
    std::string text;
};

bool sendBytes(const qxsim::Bytes& b) {
    if (g_master < 0) throw Error{"the device is unplugged (use plug)"};
    waitOpen();
    std::size_t done = 0;
    while (done < b.size()) {
        const ssize_t n = ::write(g_master, b.data() + done, b.size() - done);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                ::usleep(1000);
                continue;
            }
            std::fprintf(stderr, "qx-sim: write: %s\n", std::strerror(errno));
            return false;
        }
        done += std::size_t(n);
    }
    std::string hex;
    char tmp[4];
    for (auto c : b) {
        std::snprintf(tmp, sizeof tmp, "%02x ", c);
        hex += tmp;
    }
    std::fprintf(stderr, "qx-sim: sent %s\n", hex.c_str());
    return true;
}

bool parseNumber(const std::string& s, long& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtol(s.c_str(), &end, 0);
    return errno == 0 && end && *end == '\0';
}

bool parseByte(const std::string& s, std::uint8_t& out) {
    long v;
    if (!parseNumber(s, v) || v < 0 || v > 255) return false;
    out = std::uint8_t(v);
    return true;
}

std::uint8_t byteArg(const std::vector<std::string>& a, std::size_t i, const char* what) {
    std::uint8_t b;
    if (i >= a.size() || !parseByte(a[i], b)) throw Error{std::string("expected ") + what};
    return b;
}

int timeArg(const std::vector<std::string>& a, std::size_t i) {
    if (i >= a.size()) throw Error{"expected a time"};
    const auto t = qxsim::parseSeconds(a[i]);
    if (!t) throw Error{"not a time of 0 to 999.999 s: " + a[i]};
    return *t;
}

qxsim::Bytes timeFrame(int code, int t) {
    qxsim::Bytes b{0xBA};
    const auto rec = qxsim::timeRecord(g_verze, code, t);
    b.insert(b.end(), rec.begin(), rec.end());
    return b;
}

int sideCode(const std::string& s) {
    if (s == "L" || s == "l") return 0;
    if (s == "P" || s == "p") return 1;
    throw Error{"expected L or P, got " + s};
}

// A new pseudo-terminal (the device plugged in), with the --link path pointing to it.
bool plug() {
    g_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (g_master < 0 || ::grantpt(g_master) != 0 || ::unlockpt(g_master) != 0) {
        std::fprintf(stderr, "qx-sim: no pseudo-terminal: %s\n", std::strerror(errno));
        if (g_master >= 0) ::close(g_master);
        g_master = -1;
        return false;
    }
    // The device's line is raw 8-bit: no echo, no line editing, no character translation.
    termios tio{};
    ::tcgetattr(g_master, &tio);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    ::tcsetattr(g_master, TCSANOW, &tio);
    g_slave = ::ptsname(g_master);
    // The master reports a hang-up (POLLHUP) while nobody has the slave open, but only once the
    // slave has been opened at least once: open and close it here, before anybody is told its name.
    {
        const int s = ::open(g_slave.c_str(), O_RDWR | O_NOCTTY);
        if (s >= 0) ::close(s);
    }

    g_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (g_inotify >= 0) ::inotify_add_watch(g_inotify, g_slave.c_str(), IN_OPEN | IN_CLOSE);

    if (!g_link.empty()) {
        ::unlink(g_link.c_str());
        if (::symlink(g_slave.c_str(), g_link.c_str()) != 0) {
            std::fprintf(stderr, "qx-sim: cannot make the link %s: %s\n", g_link.c_str(),
                         std::strerror(errno));
            return false;
        }
    }
    g_wasOpen = false;
    std::fprintf(stderr, "qx-sim: plugged in on %s\n", g_slave.c_str());
    return true;
}

// The cable pulled: the program that has the port open sees it fail; the link goes away.
void unplug() {
    if (g_master < 0) return;
    ::close(g_master);
    g_master = -1;
    if (g_inotify >= 0) ::close(g_inotify);
    g_inotify = -1;
    if (!g_link.empty()) ::unlink(g_link.c_str());
    g_wasOpen = false;
    std::fprintf(stderr, "qx-sim: unplugged\n");
}

// Runs one command; returns false for "quit".
bool run(const std::vector<std::string>& a) {
    const std::string& c = a[0];
    auto noArgs = [&] {
        if (a.size() != 1) throw Error{c + " takes no arguments"};
    };
    if (c == "greet") {
        if (a.size() < 3 || a.size() == 5 || a.size() > 6) throw Error{"usage: greet S T [V [X4 X5]]"};
        const std::uint8_t s = byteArg(a, 1, "the settings byte");
        const std::uint8_t t = byteArg(a, 2, "the target type");
        const std::uint8_t v = a.size() > 3 ? byteArg(a, 3, "the time-shown byte") : 0xAE;
        qxsim::Bytes extra;
        if (a.size() == 6) extra = {byteArg(a, 4, "X4"), byteArg(a, 5, "X5")};
        sendBytes(qxsim::greeting(g_verze, s, t, v, extra));
    } else if (c == "settings") {
        const int n = qxsim::settingsBytes(g_verze);
        if (int(a.size()) != 1 + n)
            throw Error{n == 2 ? "version 467 takes two settings bytes" : "usage: settings S"};
        qxsim::Bytes b{0x5A, byteArg(a, 1, "the settings byte")};
        if (n == 2) b.push_back(byteArg(a, 2, "the second settings byte"));
        sendBytes(b);
    } else if (c == "prep") {
        noArgs();
        sendBytes({0x55});
    } else if (c == "reset") {
        noArgs();
        sendBytes({0xAA});
    } else if (c == "start") {
        noArgs();
        sendBytes({0xAB});
    } else if (c == "recall") {
        noArgs();
        sendBytes({0xA5});
    } else if (c == "targets") {
        if (a.size() != 2 || (a[1] != "breaking" && a[1] != "making"))
            throw Error{"usage: targets breaking|making"};
        sendBytes({std::uint8_t(a[1] == "breaking" ? 0xA1 : 0xA2)});
    } else if (c == "shown") {
        if (a.size() != 2 || (a[1] != "yes" && a[1] != "no")) throw Error{"usage: shown yes|no"};
        sendBytes({std::uint8_t(a[1] == "yes" ? 0xAE : 0xAC)});
    } else if (c == "status") {
        const std::uint8_t m = byteArg(a, 1, "the status mask");
        if (a.size() != 2 || (m > 0x0F && (m & 0xF0) != 0xD0)) throw Error{"usage: status MASK (0 to 15)"};
        sendBytes({std::uint8_t(0xD0 | (m & 0x0F))});
    } else if (c == "time") {
        if (a.size() != 3) throw Error{"usage: time CODE T"};
        const std::uint8_t code = byteArg(a, 1, "the target code");
        if (code > 9) throw Error{"target code 0 to 9"};
        sendBytes(timeFrame(code, timeArg(a, 2)));
    } else if (c == "lanes") {
        if (a.size() < 2 || a.size() > 5) throw Error{"usage: lanes T1 [T2 [T3 [T4]]]"};
        qxsim::Bytes b;
        for (std::size_t i = 1; i < a.size(); ++i) {
            const auto f = timeFrame(int(5 + i), timeArg(a, i));
            b.insert(b.end(), f.begin(), f.end());
        }
        sendBytes(b);
    } else if (c == "attack") {
        if (a.size() != 4 && a.size() != 7) throw Error{"usage: attack L|P T F [L|P T2 F2]"};
        qxsim::Bytes b;
        auto add = [&](const qxsim::Bytes& f) { b.insert(b.end(), f.begin(), f.end()); };
        add(timeFrame(sideCode(a[1]), timeArg(a, 2)));
        add(timeFrame(2, timeArg(a, 3)));
        if (a.size() == 7) {
            add(timeFrame(3 + sideCode(a[4]), timeArg(a, 5)));
            add(timeFrame(5, timeArg(a, 6)));
        }
        sendBytes(b);
    } else if (c == "raw") {
        if (a.size() < 2) throw Error{"usage: raw HEX..."};
        qxsim::Bytes b;
        for (std::size_t i = 1; i < a.size(); ++i) {
            std::string h = a[i];
            if (h.rfind("0x", 0) != 0 && h.rfind("0X", 0) != 0) h = "0x" + h;
            b.push_back(byteArg({h}, 0, "a hex byte"));
        }
        sendBytes(b);
    } else if (c == "wait") {
        long ms;
        if (a.size() != 2 || !parseNumber(a[1], ms) || ms < 0) throw Error{"usage: wait MS"};
        watch(int(ms));
    } else if (c == "waitopen") {
        noArgs();
        waitOpen();
    } else if (c == "version") {
        long v;
        if (a.size() != 2 || !parseNumber(a[1], v) || !qxsim::knownVersion(int(v)))
            throw Error{"usage: version 454|456|457|458|462|463|466|467|468"};
        g_verze = int(v);
    } else if (c == "unplug") {
        noArgs();
        unplug();
    } else if (c == "plug") {
        noArgs();
        if (g_master >= 0) throw Error{"the device is plugged in already"};
        if (!plug()) throw Error{"no pseudo-terminal"};
    } else if (c == "hold") {
        noArgs();
        std::fprintf(stderr, "qx-sim: holding the port; end with Ctrl-C\n");
        for (;;)
            watch(-1);
    } else if (c == "quit") {
        return false;
    } else {
        throw Error{"unknown command " + c + " (see --help)"};
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::string script;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        long v;
        if (a == "-h" || a == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (a == "--version" && i + 1 < argc) {
            if (!parseNumber(argv[++i], v) || !qxsim::knownVersion(int(v))) {
                std::fprintf(stderr, "qx-sim: unknown version %s\n", argv[i]);
                return 2;
            }
            g_verze = int(v);
        } else if (a == "--settle" && i + 1 < argc) {
            if (!parseNumber(argv[++i], v) || v < 0) {
                std::fprintf(stderr, "qx-sim: bad settle time %s\n", argv[i]);
                return 2;
            }
            g_settleMs = int(v);
        } else if (a == "--link" && i + 1 < argc) {
            g_link = argv[++i];
        } else if (!a.empty() && a[0] != '-' && script.empty()) {
            script = a;
        } else {
            std::fprintf(stderr, "qx-sim: unknown argument %s (see --help)\n", a.c_str());
            return 2;
        }
    }

    std::ifstream file;
    if (!script.empty()) {
        file.open(script);
        if (!file) {
            std::fprintf(stderr, "qx-sim: cannot read %s\n", script.c_str());
            return 2;
        }
    }

    if (!plug()) return 1;

    ::signal(SIGPIPE, SIG_IGN);
    std::printf("%s\n", g_link.empty() ? g_slave.c_str() : g_link.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "qx-sim: version %d on %s\n", g_verze, g_slave.c_str());

    std::istream& in = script.empty() ? std::cin : file;
    std::string line;
    int lineNo = 0;
    int errors = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        std::istringstream words(line);
        std::vector<std::string> a;
        for (std::string w; words >> w;) {
            if (w[0] == '#') break;
            a.push_back(w);
        }
        if (a.empty()) continue;
        try {
            if (!run(a)) break;
        } catch (const Error& e) {
            ++errors;
            std::fprintf(stderr, "qx-sim: line %d: %s\n", lineNo, e.text.c_str());
        }
    }
    unplug();
    return errors && !script.empty() ? 1 : 0;
}
