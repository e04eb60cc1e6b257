// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PrivilegedHelperLauncher.h"
#include "platform/PrivilegedHelperSession.h"

using namespace quillby;

// A stand-in for the privileged helper: answers "ping" with "ok", every other request with
// `answer`, and records each request as "verb argument".
class ScriptedSession : public PrivilegedHelperSession {
  public:
    explicit ScriptedSession(std::string answer) : answer(std::move(answer)) {}
    std::optional<std::string> request(std::string_view verb, std::string_view argument) override {
        requests.push_back(std::string(verb) + " " + std::string(argument));
        return verb == "ping" ? std::string("ok") : answer;
    }
    bool isAlive() override { return true; }
    int finish() override { return 0; }
    std::string answer;
    std::vector<std::string> requests;
};

// Starts sessions that forward to one ScriptedSession the test keeps, and counts them.
class ScriptedLauncher : public PrivilegedHelperLauncher {
  public:
    explicit ScriptedLauncher(ScriptedSession* session) : session_(session) {}
    std::unique_ptr<PrivilegedHelperSession> launch(int&) override {
        ++launches;
        struct Forward : PrivilegedHelperSession {
            ScriptedSession* target;
            std::optional<std::string> request(std::string_view v, std::string_view a) override {
                return target->request(v, a);
            }
            bool isAlive() override { return true; }
            int finish() override { return 0; }
        };
        auto forward = std::make_unique<Forward>();
        forward->target = session_;
        return forward;
    }
    int launches = 0;

  private:
    ScriptedSession* session_;
};
