// Far end under Wine: requests to lirat_pty_peer over a loopback socket (see far_end.h).
#include "tests/serial/far_end.h"
#include "tests/serial/peer_hex.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace lirat_test {

namespace {

class Connection {
public:
    explicit Connection(const std::string& where) {
        WSADATA data;
        if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
            throw std::runtime_error("WSAStartup failed");
        auto colon = where.find(':');
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<u_short>(std::atoi(where.c_str() + colon + 1)));
        ::inet_pton(AF_INET, where.substr(0, colon).c_str(), &addr.sin_addr);
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (socket_ == INVALID_SOCKET ||
            ::connect(socket_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
            throw std::runtime_error("cannot reach lirat_pty_peer at " + where);
    }
    ~Connection() {
        if (socket_ != INVALID_SOCKET)
            ::closesocket(socket_);
        ::WSACleanup();
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Sends one request and returns the text after "OK"; throws on "ERR".
    std::string Ask(const std::string& request) {
        std::string line = request + "\n";
        if (::send(socket_, line.data(), static_cast<int>(line.size()), 0) !=
            static_cast<int>(line.size()))
            throw std::runtime_error("lirat_pty_peer: send failed");
        std::string answer;
        for (;;) {
            char c = 0;
            if (::recv(socket_, &c, 1, 0) != 1)
                throw std::runtime_error("lirat_pty_peer: connection lost");
            if (c == '\n')
                break;
            answer += c;
        }
        if (answer.rfind("OK", 0) != 0)
            throw std::runtime_error("lirat_pty_peer: " + answer);
        return answer.size() > 3 ? answer.substr(3) : std::string();
    }

private:
    SOCKET socket_ = INVALID_SOCKET;
};

class WineFarEnd : public FarEnd {
public:
    explicit WineFarEnd(Connection& peer) : peer_(peer) { number_ = std::stoi(peer_.Ask("NEW")); }
    ~WineFarEnd() override {
        try {
            peer_.Ask("DROP " + std::to_string(number_));
        } catch (...) {
        }
    }
    std::string PortName() const override { return "COM" + std::to_string(number_); }
    void Send(const std::string& bytes) override {
        peer_.Ask("SEND " + std::to_string(number_) + " " + Hex(bytes));
    }
    std::string Receive(std::size_t max, int timeoutMs) override {
        return Unhex(peer_.Ask("RECV " + std::to_string(number_) + " " + std::to_string(max) + " " +
                               std::to_string(timeoutMs)));
    }
    DeviceLine Line() override {
        std::istringstream in(peer_.Ask("LINE " + std::to_string(number_)));
        DeviceLine d;
        int crtscts = 0, ixon = 0, ixoff = 0;
        in >> d.baud >> d.dataBits >> d.parity >> d.stopBits >> crtscts >> ixon >> ixoff;
        d.crtscts = crtscts != 0;
        d.ixon = ixon != 0;
        d.ixoff = ixoff != 0;
        return d;
    }
    void CloseFarSide() override { peer_.Ask("CLOSEFAR " + std::to_string(number_)); }
    std::string StableName() override { return PortName(); }
    void Replug() override { peer_.Ask("REPLUG " + std::to_string(number_)); }

private:
    Connection& peer_;
    int number_ = 0;
};

} // namespace

namespace {

std::string WindowsPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// Starts the native peer and returns the address it listens on.
std::string StartPeer(const std::string& program) {
    std::ifstream exists(WindowsPath(program));
    if (!exists)
        throw std::runtime_error("no pseudo-terminal peer: " + program +
                                 " is missing (build the native tree first, e.g. the debug "
                                 "preset)");
    std::string file = "/tmp/lirat5-pty-peer-" + std::to_string(::GetCurrentProcessId()) + "-" +
                       std::to_string(::GetTickCount64());
    std::string command = "\"" + WindowsPath(program) + "\" --serve " + file;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        throw std::runtime_error("cannot start " + program);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    for (int waited = 0; waited < 20000; waited += 50) {
        std::ifstream in(WindowsPath(file));
        std::string where;
        if (in >> where && !where.empty())
            return where;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    throw std::runtime_error("lirat_pty_peer did not start");
}

// The one connection of this test process; the peer ends when it closes at exit.
Connection& Peer() {
    static std::unique_ptr<Connection> connection;
    if (!connection) {
        const char* where = std::getenv("LIRAT_PTY_PEER");
        const char* program = std::getenv("LIRAT_PTY_PEER_PROGRAM");
        if (where && *where)
            connection = std::make_unique<Connection>(where);
        else if (program && *program)
            connection = std::make_unique<Connection>(StartPeer(program));
        else
            throw std::runtime_error("no pseudo-terminal peer: LIRAT_PTY_PEER_PROGRAM is not set");
    }
    return *connection;
}

} // namespace

std::unique_ptr<FarEnd> MakeFarEnd(std::string& whyNot) {
    try {
        return std::make_unique<WineFarEnd>(Peer());
    } catch (const std::exception& e) {
        whyNot = e.what();
        return nullptr;
    }
}

bool UnderWine() {
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Wine knows COM1 to COM256; the peer never links this one.
std::string MissingPortName() {
    return "COM253";
}

} // namespace lirat_test
