// POSIX backend: asynchronous transfers that go on in the background, as overlapped transfers
// do on Windows. A device gets one worker thread the first time an asynchronous transfer is
// left pending; the worker carries every such transfer of the device on, with the same attempts
// and time-outs as a waiter would, and signals each record's event when it ends. So a transfer
// proceeds while its caller does something else, and a wait for one that has finished returns at
// once. A synchronous transfer never comes here: its caller waits anyway and carries it on
// itself, without a thread switch.
#include "serial/backend.h"
#include "serial/backend_posix.h"

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace serial::backend {

class TransferWorker {
public:
    explicit TransferWorker(Device* device) : device_(device) {}
    ~TransferWorker() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        Wake();
        if (thread_.joinable())
            thread_.join();
        // Transfers still going on when the device closes end as aborted.
        for (Overlapped* ov : records_)
            FinishTransfer(ov, ECANCELED);
        if (wakeFd_ >= 0)
            ::close(wakeFd_);
    }
    TransferWorker(const TransferWorker&) = delete;
    TransferWorker& operator=(const TransferWorker&) = delete;

    // 0, or an errno value when no thread could be had.
    int Start() {
        wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (wakeFd_ < 0)
            return errno;
        try {
            thread_ = std::thread([this] { Run(); });
        } catch (const std::system_error& e) {
            return e.code().value();
        }
        return 0;
    }

    void Add(Overlapped* ov) {
        {
            std::lock_guard lock(mutex_);
            ov->background = true;
            records_.push_back(ov);
        }
        Wake();
    }

    // Waits while the worker is carrying the record on.
    void Remove(Overlapped* ov) {
        std::lock_guard lock(mutex_);
        records_.erase(std::remove(records_.begin(), records_.end(), ov), records_.end());
    }

    void Wake() {
        std::uint64_t one = 1;
        if (wakeFd_ >= 0 && ::write(wakeFd_, &one, sizeof one) < 0) {
            // The counter cannot overflow in practice; a lost wake only delays a check.
        }
    }

private:
    void Run() {
        NameCurrentThread("lirat5-transfers");
        std::unique_lock lock(mutex_);
        while (!stop_) {
            short want = 0;
            int limit = -1;
            for (auto it = records_.begin(); it != records_.end();) {
                if (Advance(*it)) {
                    it = records_.erase(it);
                    continue;
                }
                short events = 0;
                int slice = WaitSliceMs(*it, events);
                want = static_cast<short>(want | events);
                limit = limit < 0 ? slice : std::min(limit, slice);
                ++it;
            }
            lock.unlock();
            // Without transfers that wait for the device, the device is left out: a hung-up
            // line would otherwise wake the poll again and again.
            pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {device_->fd, want, 0}};
            int rc = device_->sys->Poll(fds, want ? 2 : 1, limit);
            if (rc > 0 && (fds[0].revents & POLLIN)) {
                std::uint64_t value = 0;
                [[maybe_unused]] ssize_t n = ::read(wakeFd_, &value, sizeof value);
            }
            lock.lock();
            short device = want ? fds[1].revents : 0;
            if ((device & (POLLHUP | POLLERR | POLLNVAL)) && !(device & (POLLIN | POLLOUT))) {
                // The far end or the device has gone: every transfer that waits for it fails.
                for (Overlapped* ov : records_)
                    FinishTransfer(ov, (device & POLLNVAL) ? EBADF : EIO);
                records_.clear();
            }
        }
    }

    Device* device_;
    std::mutex mutex_; // guards records_ and stop_, and is held while the records are advanced
    std::vector<Overlapped*> records_;
    bool stop_ = false;
    int wakeFd_ = -1;
    std::thread thread_;
};

Device::Device() = default;
Device::~Device() = default;

void RunInBackground(Device* device, Overlapped* overlapped) {
    if (!device || !overlapped || overlapped->eventWait ||
        overlapped->state != Overlapped::State::Pending)
        return;
    if (!device->worker) {
        auto worker = std::make_unique<TransferWorker>(device);
        // Without a worker the transfer is carried on by its waiter, as a synchronous one is.
        if (worker->Start() != 0)
            return;
        device->worker = std::move(worker);
    }
    device->worker->Add(overlapped);
}

void WakeWorker(Device* device) {
    if (device->worker)
        device->worker->Wake();
}

void StopWorker(Device* device) {
    device->worker.reset();
}

void ForgetBackground(Overlapped* overlapped) {
    if (!overlapped->background)
        return;
    Device* device = nullptr;
    {
        std::lock_guard lock(overlapped->stateMutex);
        // A transfer still pending has a device still open: closing ends every one.
        if (overlapped->state == Overlapped::State::Pending)
            device = overlapped->device;
    }
    if (device && device->worker)
        device->worker->Remove(overlapped);
}

} // namespace serial::backend
