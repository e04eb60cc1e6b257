// SPDX-License-Identifier: GPL-3.0-or-later
#include "helper/HelperAnswer.h"

#include <cerrno>
#include <cstring>

namespace quillby {

std::string describeRemovalError(const std::string& path, int error) {
    if (error == ELOOP) return path + ": the path goes through a symbolic link";
    if (error == EXDEV) return path + ": it holds another file system";
    return path + ": " + std::strerror(error);
}

std::string answerForRemoval(const RemovalReport& report) {
    if (!report.failed()) return "ok";
    const RemovalFailure& first = report.failures.front();
    std::string answer = "error " + describeRemovalError(first.path, first.error);
    if (report.failureCount > 1) {
        answer += " (and " + std::to_string(report.failureCount - 1) + " more)";
    }
    return answer;
}

std::string answerForRemoval(const RemovalOutcome& outcome) {
    switch (outcome.kind) {
        case RemovalOutcome::Kind::Removed:
        case RemovalOutcome::Kind::Trashed:
        case RemovalOutcome::Kind::Vanished:
            return "ok";
        case RemovalOutcome::Kind::Refused:
            return "error refused: " + outcome.reason();
        case RemovalOutcome::Kind::Failed:
            break;
    }
    std::string answer = "error " + describeRemovalError(outcome.failedEntry, outcome.error);
    if (outcome.failureCount > 1) {
        answer += " (and " + std::to_string(outcome.failureCount - 1) + " more)";
    }
    return answer;
}

}  // namespace quillby
