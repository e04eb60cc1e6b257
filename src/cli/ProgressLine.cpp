// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ProgressLine.h"

#include <unistd.h>

namespace quillby {

ProgressLine::ProgressLine(std::FILE* stream, bool shown) : stream_(stream), shown_(shown) {}

ProgressLine::~ProgressLine() {
    finish();
}

bool ProgressLine::onTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

void ProgressLine::show(const std::string& text) {
    if (!shown_) return;
    std::fprintf(stream_, "\r\033[K%s", text.c_str());
    std::fflush(stream_);
}

void ProgressLine::poll(std::function<std::string()> text, std::chrono::milliseconds period) {
    if (!shown_ || poller_.joinable()) return;
    poller_ = std::thread([this, text = std::move(text), period] {
        std::unique_lock lock(mutex_);
        while (!stopRequested_.wait_for(lock, period, [this] { return stopping_; })) {
            show(text());
        }
    });
}

void ProgressLine::stopPolling() {
    if (!poller_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopRequested_.notify_all();
    poller_.join();
}

void ProgressLine::finish(const std::string& text) {
    stopPolling();
    if (!shown_ || finished_) return;
    finished_ = true;
    std::fprintf(stream_, "\r\033[K%s%s", text.c_str(), text.empty() ? "" : "\n");
    std::fflush(stream_);
}

}  // namespace quillby
