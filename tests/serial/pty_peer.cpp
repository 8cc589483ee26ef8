// lirat_pty_peer: serves pseudo-terminal far ends to a Windows test running under Wine.
//
//   lirat_pty_peer --serve <address file>
//
// Listens on a loopback TCP port, writes "127.0.0.1:<port>" into the address file, accepts one
// connection (the test process that started it) and answers one request per line until that
// connection closes; then removes whatever it made and exits. Requests and answers ("OK ..." or
// "ERR ..."):
//   NEW                    a new pseudo-terminal linked as <prefix>/dosdevices/comN; "OK N"
//   SEND N <hex>           bytes written to the far side
//   RECV N <max> <ms>      bytes read from the far side within ms; "OK <hex>"
//   LINE N                 the device's settings: "OK baud bits parity stop crtscts ixon ixoff"
//   CLOSEFAR N             closes the far side, the device stays
//   REPLUG N               a new pseudo-terminal behind the same link; the old one goes
//   DROP N                 removes the link and the pseudo-terminal
#include "tests/serial/peer_hex.h"
#include "tests/serial/pty_line.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace fs = std::filesystem;
using lirat_test::Hex;
using lirat_test::PtyLine;
using lirat_test::Unhex;

namespace {

struct Line {
    std::unique_ptr<PtyLine> pty;
    fs::path link;
};

fs::path DosDevices() {
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix && *prefix)
        return fs::path(prefix) / "dosdevices";
    const char* home = std::getenv("HOME");
    return fs::path(home ? home : "/root") / ".wine" / "dosdevices";
}

class Peer {
public:
    ~Peer() {
        for (auto& [n, line] : lines_)
            Remove(line);
    }

    std::string Handle(const std::string& request) {
        std::istringstream in(request);
        std::string verb;
        in >> verb;
        try {
            if (verb == "NEW")
                return New();
            int n = -1;
            in >> n;
            auto it = lines_.find(n);
            if (it == lines_.end())
                return "ERR no such line";
            Line& line = it->second;
            if (verb == "SEND") {
                std::string hex;
                in >> hex;
                line.pty->Send(Unhex(hex));
                return "OK";
            }
            if (verb == "RECV") {
                std::size_t max = 0;
                int ms = 0;
                in >> max >> ms;
                return "OK " + Hex(line.pty->Receive(max, ms));
            }
            if (verb == "LINE") {
                lirat_test::DeviceLine d = line.pty->Line();
                std::ostringstream out;
                out << "OK " << d.baud << ' ' << d.dataBits << ' ' << d.parity << ' ' << d.stopBits
                    << ' ' << d.crtscts << ' ' << d.ixon << ' ' << d.ixoff;
                return out.str();
            }
            if (verb == "CLOSEFAR") {
                line.pty->CloseMaster();
                return "OK";
            }
            if (verb == "REPLUG") {
                auto pty = std::make_unique<PtyLine>();
                std::error_code ec;
                fs::remove(line.link, ec);
                fs::create_symlink(pty->DevicePath(), line.link, ec);
                if (ec)
                    return "ERR " + ec.message();
                line.pty = std::move(pty); // the old pair closes: its device hangs up
                return "OK";
            }
            if (verb == "DROP") {
                Remove(line);
                lines_.erase(it);
                return "OK";
            }
            return "ERR unknown request";
        } catch (const std::exception& e) {
            return std::string("ERR ") + e.what();
        }
    }

private:
    std::string New() {
        fs::path folder = DosDevices();
        if (!fs::is_directory(folder))
            return "ERR no Wine prefix at " + folder.string();
        for (int n = 50; n < 250; ++n) {
            fs::path link = folder / ("com" + std::to_string(n));
            std::error_code ec;
            if (lines_.count(n) || fs::is_symlink(fs::symlink_status(link, ec)) ||
                fs::exists(link, ec))
                continue;
            auto pty = std::make_unique<PtyLine>();
            fs::create_symlink(pty->DevicePath(), link, ec);
            if (ec)
                continue; // taken meanwhile by another test run: try the next number
            lines_[n] = Line{std::move(pty), link};
            return "OK " + std::to_string(n);
        }
        return "ERR no free COM number";
    }

    static void Remove(Line& line) {
        std::error_code ec;
        fs::remove(line.link, ec);
        line.pty.reset();
    }

    std::map<int, Line> lines_;
};

} // namespace

volatile std::sig_atomic_t stopRequested = 0;

int main(int argc, char** argv) {
    if (argc != 3 || std::strcmp(argv[1], "--serve") != 0) {
        std::fprintf(stderr, "usage: lirat_pty_peer --serve <address file>\n");
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGTERM, [](int) { stopRequested = 1; });
    std::signal(SIGINT, [](int) { stopRequested = 1; });
    int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener, 1) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        std::perror("lirat_pty_peer: socket");
        return 2;
    }
    // The address goes into the file in one step, so the test never reads half of it.
    std::string where = "127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "\n";
    std::string tmp = std::string(argv[2]) + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "w");
    if (!f || std::fputs(where.c_str(), f) < 0 || std::fclose(f) != 0 ||
        std::rename(tmp.c_str(), argv[2]) != 0) {
        std::perror("lirat_pty_peer: address file");
        return 2;
    }

    // One test process, one connection: wait for it a while, then serve it until it closes.
    pollfd waitFor{listener, POLLIN, 0};
    int sock = -1;
    for (int waited = 0; waited < 60000 && sock < 0 && !stopRequested; waited += 200) {
        if (::poll(&waitFor, 1, 200) > 0)
            sock = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    }
    ::close(listener);
    std::remove(argv[2]);
    if (sock < 0)
        return 1;

    Peer peer; // removes every link and pseudo-terminal it made when it goes
    std::string pending;
    while (!stopRequested) {
        pollfd p{sock, POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0)
            continue;
        char buf[4096];
        ssize_t n = ::read(sock, buf, sizeof buf);
        if (n <= 0)
            break;
        pending.append(buf, static_cast<std::size_t>(n));
        for (std::size_t eol; (eol = pending.find('\n')) != std::string::npos;) {
            std::string request = pending.substr(0, eol);
            pending.erase(0, eol + 1);
            if (!request.empty() && request.back() == '\r')
                request.pop_back();
            std::string answer = peer.Handle(request) + "\n";
            if (::write(sock, answer.data(), answer.size()) < 0)
                break;
        }
    }
    ::close(sock);
    return 0;
}
