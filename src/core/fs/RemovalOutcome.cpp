// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/RemovalOutcome.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace quillby {

const char* refusalText(RefusalRule rule) {
    switch (rule) {
        case RefusalRule::NotAPlainPath:
            return "not a path in its plain form";
        case RefusalRule::LinkOnTheWay:
            return "a folder on the way to it is a symbolic link";
        case RefusalRule::ChangedSinceListed:
            return "it was replaced since it was listed";
        case RefusalRule::FileSystemRoot:
            return "the root of the file system";
        case RefusalRule::TopLevelFolder:
            return "a top-level system folder";
        case RefusalRule::SystemFolder:
            return "a folder of the operating system, or inside one";
        case RefusalRule::HomeFolder:
            return "your home folder";
        case RefusalRule::HoldsHomeFolder:
            return "it holds your home folder";
        case RefusalRule::MountPoint:
            return "a mount point";
        case RefusalRule::OtherUsersHome:
            return "another user's home folder";
        case RefusalRule::HoldsAccountHomes:
            return "it holds users' home folders";
        case RefusalRule::OutsideChosenFolder:
            return "it lies outside the folder the removal started from";
    }
    return "refused";
}

std::string failureText(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return "permission denied";
        case EBUSY:
        case ETXTBSY:
            return "in use";
        case ENOENT:
            return "not found";
        case EROFS:
            return "the disk is read-only";
        case EXDEV:  // the system's text speaks of links; here it means another disk
            return "it lies on, or holds, another file system";
        case ENOSPC:
            return "no space left on the disk";
        case EIO:
        case 0:
            return "a read or write error";
        default: {
            // The system's sentence, lowered to read as a reason after a colon.
            std::string text = std::strerror(error);
            if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
                text[0] = char(text[0] - 'A' + 'a');
            return text;
        }
    }
}

std::string retryWithRightsQuestion(std::size_t count) {
    return count == 1
               ? "1 item can only be removed with administrator rights."
               : std::to_string(count) + " items can only be removed with administrator rights.";
}

bool rightsMayOvercome(int error) {
    return error == EACCES || error == EPERM;
}

bool RemovalOutcome::rightsMayHelp() const {
    return kind == Kind::Failed && rightsMayOvercome(error);
}

std::string RemovalOutcome::reason() const {
    if (!detail.empty() && !gone()) return detail;
    switch (kind) {
        case Kind::Refused:
            return refusalText(rule);
        case Kind::Failed:
            return failureText(error);
        default:
            return "";
    }
}

RemovalOutcome RemovalOutcome::refused(std::string path, RefusalRule rule) {
    RemovalOutcome outcome;
    outcome.path = std::move(path);
    outcome.kind = Kind::Refused;
    outcome.rule = rule;
    return outcome;
}

RemovalOutcome RemovalOutcome::failed(std::string path, int error) {
    RemovalOutcome outcome;
    outcome.failedEntry = path;
    outcome.path = std::move(path);
    outcome.kind = Kind::Failed;
    outcome.error = error != 0 ? error : EIO;
    outcome.failureCount = 1;
    return outcome;
}

RemovalOutcome RemovalOutcome::vanished(std::string path) {
    RemovalOutcome outcome;
    outcome.path = std::move(path);
    outcome.kind = Kind::Vanished;
    return outcome;
}

}  // namespace quillby
