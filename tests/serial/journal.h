// What a port's handlers did, in order. Handlers run on other threads, so it is guarded, and a
// test that has seen an entry also sees everything the handler did before adding it.
#pragma once

#include "serial/sync_dispatcher.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace lirat_test {

class Journal {
public:
    void Add(const std::string& entry) {
        std::lock_guard lock(mutex_);
        entries_.push_back(entry);
        changed_.notify_all();
    }
    std::vector<std::string> Entries() {
        std::lock_guard lock(mutex_);
        return entries_;
    }
    int Count(const std::string& entry) {
        const std::vector<std::string> all = Entries();
        return static_cast<int>(std::count(all.begin(), all.end(), entry));
    }
    bool Has(const std::string& entry) { return Count(entry) > 0; }
    // Waits until the entry has been added `times` times, working off the dispatcher's queue
    // meanwhile when one is given (the test thread is the user-interface thread).
    bool WaitFor(const std::string& entry, int times = 1, serial::TPlainDispatcher* pump = nullptr,
                 int timeoutMs = 5000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            if (Count(entry) >= times)
                return true;
            if (pump) {
                pump->CheckSynchronize(10);
            } else {
                std::unique_lock lock(mutex_);
                changed_.wait_for(lock, std::chrono::milliseconds(10));
            }
        }
        return Count(entry) >= times;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> entries_;
};

} // namespace lirat_test
