// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <mutex>
#include <optional>
#include <string>

#include "platform/PrivilegedHelperSession.h"

namespace quillby {

// A helper process spawned with one end of a socket pair as its standard input and output
// (a socket, so that writing to a helper that has gone reports an error instead of raising
// SIGPIPE in the whole program).
class LinuxHelperSession final : public PrivilegedHelperSession {
  public:
    // Takes over the process and the program's end of the socket.
    LinuxHelperSession(pid_t pid, int socket);
    ~LinuxHelperSession() override;

    std::optional<std::string> request(std::string_view verb, std::string_view argument) override;
    bool isAlive() override;
    int finish() override;

  private:
    void reap();  // waits for the process to end and keeps its status
    std::optional<std::string> readLine();

    std::mutex mutex_;
    pid_t pid_;
    int socket_;
    std::optional<int> exitStatus_;
    std::string pending_;  // read past the last answer line
};

}  // namespace quillby
