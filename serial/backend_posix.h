// Internal to the POSIX backend: the open device and the helpers that the transfer code and the
// event wait share.
#pragma once

#include "serial/backend.h"
#include "serial/posix_extras.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace serial::backend {

struct Device {
    int fd = -1;
    std::uint64_t id = 0; // tells a reopened device apart from a released one at the same address
    std::atomic<std::uint64_t> abortGeneration{0};

    std::mutex mutex; // guards everything below
    TTimeoutsRecord timeouts{};
    TQueueSizes queueSizes{1024, 1024};
    bool discardNull = false;
    char eventChar = 0;
    bool haveCounters = false;
    posix::LineCounters counters; // as of the last error query
    // Bytes already taken from the driver (to look for the event character) but not yet read;
    // they come before anything still in the driver's queue.
    std::vector<char> stash;
    bool txPending = false; // a write has put bytes in the transmit queue since the last empty
};

// Reads up to max received bytes, the stashed ones first, dropping zero bytes when asked to.
// Returns the bytes read (0 when none wait) or a negative errno value.
int ReadReceived(Device* device, char* buffer, std::uint32_t max);
// Forgets the stashed bytes (the receive queue is being discarded).
void PurgeReceived(Device* device);
std::uint32_t StashedCount(Device* device);
// A write has put bytes into the transmit queue.
void NoteWritten(Device* device);

} // namespace serial::backend
