// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quillby {

// The program's one logging function: formats a line like printf and writes it, with a date,
// time, process name and thread prefix, to the log descriptor (standard error unless changed).
// Safe from any thread; each line is written with a single write call.
void QWLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Where log lines go. The desktop program keeps standard error (which it points at the
// diagnostic log); the command line sends them to the diagnostic log file so that the terminal
// shows only its own output.
void setLogDescriptor(int fd);
int logDescriptor();

// Receives every log line's message (without prefix) in addition to the descriptor, while alive.
// Used by tests that check what was logged.
class ScopedLogCapture {
  public:
    explicit ScopedLogCapture(std::function<void(std::string_view)> sink);
    ~ScopedLogCapture();
    ScopedLogCapture(const ScopedLogCapture&) = delete;
    ScopedLogCapture& operator=(const ScopedLogCapture&) = delete;

  private:
    std::function<void(std::string_view)> previous_;
};

}  // namespace quillby
