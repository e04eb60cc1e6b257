// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/events/Log.h"

#include <sys/syscall.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "core/fs/WriteAll.h"

namespace quillby {

namespace {

std::atomic<int> gLogFd{STDERR_FILENO};
std::mutex gSinkMutex;
std::function<void(std::string_view)> gSink;

std::string formatMessage(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    char small[512];
    int length = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (length < 0) return {};
    if (static_cast<size_t>(length) < sizeof small) return std::string(small, length);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(length));
    return text;
}

std::string linePrefix() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t seconds = system_clock::to_time_t(now);
    auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    char prefix[128];
    std::snprintf(prefix, sizeof prefix, "%s.%03lld %s[%d:%ld] ", stamp,
                  static_cast<long long>(millis), program_invocation_short_name, getpid(),
                  static_cast<long>(syscall(SYS_gettid)));
    return prefix;
}

}  // namespace

void QWLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = formatMessage(format, args);
    va_end(args);

    {
        std::lock_guard lock(gSinkMutex);
        if (gSink) gSink(message);
    }
    std::string line = linePrefix() + message;
    if (line.empty() || line.back() != '\n') line.push_back('\n');
    int fd = gLogFd.load(std::memory_order_relaxed);
    if (fd >= 0) writeAll(fd, line);  // a log line that cannot be written is dropped
}

void setLogDescriptor(int fd) {
    gLogFd.store(fd, std::memory_order_relaxed);
}

int logDescriptor() {
    return gLogFd.load(std::memory_order_relaxed);
}

ScopedLogCapture::ScopedLogCapture(std::function<void(std::string_view)> sink) {
    std::lock_guard lock(gSinkMutex);
    previous_ = std::move(gSink);
    gSink = std::move(sink);
}

ScopedLogCapture::~ScopedLogCapture() {
    std::lock_guard lock(gSinkMutex);
    gSink = std::move(previous_);
}

}  // namespace quillby
