// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace quillby {

// One line on a terminal that rewrites itself with the latest progress. Shown only when asked
// for; otherwise every call does nothing. The line is cleared when it is destroyed.
class ProgressLine {
  public:
    ProgressLine(std::FILE* stream, bool shown);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // True when `stream` is a terminal, where a line can rewrite itself.
    static bool onTerminal(std::FILE* stream);

    // Replaces the line by `text`.
    void show(const std::string& text);
    // Shows text() every `period` on a thread of its own, until finish() or the end.
    void poll(std::function<std::string()> text,
              std::chrono::milliseconds period = std::chrono::milliseconds(200));
    // Stops polling and replaces the line by `text` and a line break (nothing when it is "").
    void finish(const std::string& text = "");

  private:
    void stopPolling();

    std::FILE* stream_;
    bool shown_;
    bool finished_ = false;
    std::mutex mutex_;
    std::condition_variable stopRequested_;
    bool stopping_ = false;
    std::thread poller_;
};

}  // namespace quillby
