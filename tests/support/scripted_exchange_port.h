#pragma once
// An ExchangePort for tests: an in-memory input queue that the test (or a responder standing in
// for the transducer) fills, a record of every command written, and switches that make each
// operation fail the way the serial layer would.

#include "protocol/exchange_port.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_support {

class ScriptedExchangePort : public protocol::ExchangePort {
public:
    // Whether Open connects (false: the device opened but the port reports no connection).
    bool connectOnOpen = true;
    // Error texts: when set, the operation raises std::runtime_error with it.
    std::string openError;
    std::string writeError;
    std::string inputCountError;
    std::string readError;

    // Stands in for the transducer: gets each written command without its CR LF and returns
    // the bytes that arrive in answer (empty: no answer).
    std::function<std::string(const std::string& command)> responder;

    bool open = false;
    std::deque<std::uint8_t> input;
    // Every write as it went out, CR LF included.
    std::vector<std::string> written;
    int opens = 0;
    int closes = 0;
    int clears = 0;
    std::vector<std::string>* log = nullptr;

    // Puts bytes into the input queue, as if they had just arrived.
    void Feed(const std::string& bytes) { input.insert(input.end(), bytes.begin(), bytes.end()); }

    // The written commands without their CR LF.
    std::vector<std::string> Commands() const {
        std::vector<std::string> commands;
        for (const std::string& w : written) {
            commands.push_back(w.size() >= 2 && w.compare(w.size() - 2, 2, "\r\n") == 0
                                   ? w.substr(0, w.size() - 2)
                                   : w);
        }
        return commands;
    }

    void Open() override {
        Log("Open");
        ++opens;
        if (!openError.empty()) {
            throw std::runtime_error(openError);
        }
        // Opening an open port does nothing, as with the serial component.
        if (!open) {
            open = connectOnOpen;
        }
    }
    bool Connected() const override { return open; }
    void Close() override {
        Log("Close");
        ++closes;
        open = false;
        input.clear();
    }
    void ClearBuffer(bool in, bool /*out*/) override {
        Log("ClearBuffer");
        ++clears;
        if (in) {
            input.clear();
        }
    }
    int Write(const std::uint8_t* buffer, int count) override {
        const std::string bytes(reinterpret_cast<const char*>(buffer), static_cast<size_t>(count));
        Log("Write " + bytes.substr(0, bytes.size() >= 2 ? bytes.size() - 2 : 0));
        if (!writeError.empty()) {
            throw std::runtime_error(writeError);
        }
        written.push_back(bytes);
        if (responder) {
            Feed(responder(Commands().back()));
        }
        return count;
    }
    int InputCount() override {
        if (!inputCountError.empty()) {
            throw std::runtime_error(inputCountError);
        }
        return static_cast<int>(input.size());
    }
    int Read(std::uint8_t* buffer, int count) override {
        Log("Read");
        if (!readError.empty()) {
            throw std::runtime_error(readError);
        }
        int n = 0;
        while (n < count && !input.empty()) {
            buffer[n++] = input.front();
            input.pop_front();
        }
        return n;
    }

private:
    void Log(const std::string& entry) {
        if (log != nullptr) {
            log->push_back(entry);
        }
    }
};

} // namespace testing_support
