// A child process that holds something (a device, a lock) for a test until it is told to go.
// POSIX only.
#pragma once

#include <functional>

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lirat_test {

class Holder {
public:
    // what runs in the child before it waits; its failure ends the child with 1.
    explicit Holder(const std::function<bool()>& what) {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(release_) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            char ok = what() ? '1' : '0';
            [[maybe_unused]] ssize_t n = ::write(ready[1], &ok, 1);
            char go;
            n = ::read(release_[0], &go, 1);
            ::_exit(0);
        }
        char ok = 0;
        ok_ = ::read(ready[0], &ok, 1) == 1 && ok == '1';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~Holder() { End(); }
    bool Ok() const { return ok_; }
    pid_t Pid() const { return pid_; }
    void End() {
        if (pid_ <= 0)
            return;
        [[maybe_unused]] ssize_t n = ::write(release_[1], "x", 1);
        ::waitpid(pid_, nullptr, 0);
        ::close(release_[0]);
        ::close(release_[1]);
        pid_ = -1;
    }

private:
    int release_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool ok_ = false;
};

} // namespace lirat_test
