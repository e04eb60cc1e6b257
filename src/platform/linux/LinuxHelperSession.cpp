// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxHelperSession.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>

namespace quillby {

LinuxHelperSession::LinuxHelperSession(pid_t pid, int socket) : pid_(pid), socket_(socket) {}

LinuxHelperSession::~LinuxHelperSession() {
    finish();
}

std::optional<std::string> LinuxHelperSession::request(std::string_view verb,
                                                       std::string_view argument) {
    std::lock_guard lock(mutex_);
    if (socket_ < 0) return std::nullopt;
    std::string message;
    message.reserve(verb.size() + argument.size() + 2);
    message.append(verb).push_back('\0');
    message.append(argument).push_back('\0');
    std::size_t sent = 0;
    while (sent < message.size()) {
        ssize_t count = ::send(socket_, message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return std::nullopt;
        sent += static_cast<std::size_t>(count);
    }
    return readLine();
}

std::optional<std::string> LinuxHelperSession::readLine() {
    for (;;) {
        if (std::size_t end = pending_.find('\n'); end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return line;
        }
        char buffer[4096];
        ssize_t count = ::recv(socket_, buffer, sizeof buffer, 0);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return std::nullopt;
        pending_.append(buffer, static_cast<std::size_t>(count));
    }
}

void LinuxHelperSession::reap() {
    if (exitStatus_ || pid_ <= 0) return;
    int status = 0;
    pid_t done;
    do {
        done = ::waitpid(pid_, &status, 0);
    } while (done < 0 && errno == EINTR);
    if (done < 0) {
        exitStatus_ = -1;
    } else {
        exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
}

bool LinuxHelperSession::isAlive() {
    std::lock_guard lock(mutex_);
    if (socket_ < 0) return false;
    // The helper's end closes when it exits. (Waiting for the process would not do: a process
    // forked after the start holds the session but is not the helper's parent.)
    pollfd state{socket_, POLLRDHUP, 0};
    int ready = ::poll(&state, 1, 0);
    return ready == 0 || (ready > 0 && !(state.revents & (POLLRDHUP | POLLHUP | POLLERR)));
}

int LinuxHelperSession::finish() {
    std::lock_guard lock(mutex_);
    if (socket_ >= 0) {
        // The helper ends when its input ends; it runs as root, so it cannot be signalled.
        ::shutdown(socket_, SHUT_WR);
        ::close(socket_);
        socket_ = -1;
    }
    reap();
    return exitStatus_.value_or(-1);
}

}  // namespace quillby
