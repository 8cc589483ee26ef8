#include "serial/app_exception.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace serial {

namespace {

std::mutex& HandlerMutex() {
    static std::mutex m;
    return m;
}

TApplicationExceptionHandler& Handler() {
    static TApplicationExceptionHandler handler;
    return handler;
}

} // namespace

TApplicationExceptionHandler SetApplicationExceptionHandler(TApplicationExceptionHandler handler) {
    std::lock_guard lock(HandlerMutex());
    return std::exchange(Handler(), std::move(handler));
}

void HandleApplicationException(std::exception_ptr error) noexcept {
    TApplicationExceptionHandler handler;
    {
        std::lock_guard lock(HandlerMutex());
        handler = Handler();
    }
    try {
        if (handler) {
            handler(error);
            return;
        }
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "unknown exception\n");
    }
}

} // namespace serial
