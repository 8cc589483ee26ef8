#include "serial/modem_watch.h"

#include "serial/backend.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <system_error>
#include <utility>

#include <pthread.h>

namespace serial::backend::posix {

namespace {

// How often Stop repeats the signal while the helper has not ended.
constexpr auto kResignal = std::chrono::milliseconds(10);

extern "C" void IgnoreWakeSignal(int) {}

void InstallWakeHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_handler = IgnoreWakeSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0; // no SA_RESTART: an interrupted wait must return
        ::sigaction(ModemWatch::WakeSignal(), &action, nullptr);
    });
}

} // namespace

int ModemWatch::WakeSignal() {
    // A real-time signal well inside the range, away from the ones threading libraries take.
    return SIGRTMIN + 4;
}

ModemWatch::ModemWatch(std::function<int()> wait, std::function<void()> changed)
    : wait_(std::move(wait)), changed_(std::move(changed)) {}

ModemWatch::~ModemWatch() {
    Stop();
}

int ModemWatch::Start() {
    std::lock_guard lock(mutex_);
    if (started_)
        return EALREADY;
    InstallWakeHandler();
    // The helper starts with every signal blocked, so that signals meant for the process go to
    // other threads; it unblocks only its own wake signal.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    int err = 0;
    try {
        thread_ = std::thread([this] { Run(); });
        started_ = true;
    } catch (const std::system_error& e) {
        err = e.code().value() != 0 ? e.code().value() : EAGAIN;
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return err;
}

void ModemWatch::Run() {
    NameCurrentThread(kThreadName);
    sigset_t wake;
    sigemptyset(&wake);
    sigaddset(&wake, WakeSignal());
    ::pthread_sigmask(SIG_UNBLOCK, &wake, nullptr);
    while (!stop_.load()) {
        int rc = wait_();
        if (stop_.load())
            break;
        if (rc == 0) {
            ++changes_;
            changed_();
        } else if (rc != EINTR) {
            break; // the device cannot wait for its lines, or has gone away
        }
    }
    std::lock_guard lock(mutex_);
    ended_ = true;
    endedCv_.notify_all();
}

void ModemWatch::Stop() {
    std::unique_lock lock(mutex_);
    if (!started_ || !thread_.joinable())
        return;
    stop_ = true;
    // The helper may be between its look at stop_ and the wait, where the signal does not end
    // the wait: repeat it until the helper is out.
    while (!ended_) {
        ::pthread_kill(thread_.native_handle(), WakeSignal());
        endedCv_.wait_for(lock, kResignal);
    }
    std::thread helper = std::move(thread_);
    lock.unlock();
    helper.join();
}

bool ModemWatch::Running() const {
    std::lock_guard lock(mutex_);
    return started_ && !ended_;
}

} // namespace serial::backend::posix
