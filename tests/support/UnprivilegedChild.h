// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <grp.h>
#include <unistd.h>
#include <functional>

#include "support/ChildProcess.h"

// The account tests drop to when they run as root and need an ordinary user.
inline constexpr uid_t kNobodyId = 65534;

// Runs `body` in a forked child that has given up root for the ordinary account `id` (user and
// group), and gives the child's exit status: 0 when body returned true. Only root can do this.
inline int inChildAsUser(uid_t id, const std::function<bool()>& body) {
    return childExitStatus([&] {
        bool dropped = ::setgroups(0, nullptr) == 0 && ::setresgid(id, id, id) == 0 &&
                       ::setresuid(id, id, id) == 0;
        return dropped && body() ? 0 : 1;
    });
}

// Runs `body` as an ordinary user, so that permission bits count: in a child as nobody when the
// tests run as root, else directly. True when body returned true.
inline bool asOrdinaryUser(const std::function<bool()>& body) {
    if (::geteuid() != 0) return body();
    return inChildAsUser(kNobodyId, body) == 0;
}
