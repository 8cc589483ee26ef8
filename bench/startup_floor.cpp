// The floor under the tool's start-up on this machine: a program linked with Qt Widgets as the
// tool is, that makes its application object and ends. Loading and relocating Qt and the
// libraries it needs, and Qt's own start, are the same for any Qt program; what the tool takes
// beyond this is its own. The first argument is the launcher's CLOCK_MONOTONIC time in
// nanoseconds taken just before it started this process.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long long MonotonicNs() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

} // namespace

int main(int argc, char* argv[]) {
    const long long enteredNs = MonotonicNs();
    const long long launchedNs = argc > 1 ? std::atoll(argv[1]) : enteredNs;
    long long madeNs = 0;
    {
        QApplication application(argc, argv);
        madeNs = MonotonicNs();
    }
    std::printf("main_us %lld\napplication_us %lld\n", (enteredNs - launchedNs) / 1000,
                (madeNs - launchedNs) / 1000);
    return 0;
}
