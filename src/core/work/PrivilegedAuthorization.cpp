// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/work/PrivilegedAuthorization.h"

#include <cstring>

#include "core/events/Log.h"
#include "core/fs/PathRules.h"
#include "core/fs/TreeRemover.h"
#include "platform/Services.h"

namespace quillby {

PrivilegedAuthorization& PrivilegedAuthorization::sharedAuthorization() {
    static auto* shared = new PrivilegedAuthorization;  // lives for the whole process
    return *shared;
}

PrivilegedAuthorization::PrivilegedAuthorization(std::shared_ptr<PrivilegedHelperLauncher> launcher)
    : launcher_(std::move(launcher)) {}

PrivilegedAuthorization::~PrivilegedAuthorization() {
    freeAuthorization();
}

bool PrivilegedAuthorization::allocAuthorization() {
    std::lock_guard lock(mutex_);
    if (isValidAuth_ && authorizationRef_ && authorizationRef_->isAlive()) return true;
    isValidAuth_ = false;
    authorizationRef_.reset();
    auto launcher = launcher_ ? launcher_ : Services::get<PrivilegedHelperLauncher>();
    int status = -1;
    std::unique_ptr<PrivilegedHelperSession> session =
        launcher ? launcher->launch(status) : nullptr;
    if (!session) {
        QWLog("Error Creating Initial Authorization: %d", status);
        return false;
    }
    // pkexec runs the helper only once the user approved; a refusal ends it before it answers.
    auto answer = session->request("ping", "");
    if (!answer || *answer != "ok") {
        QWLog("Copy Rights Unsuccessful: %d", session->finish());
        return false;
    }
    authorizationRef_ = std::move(session);
    isValidAuth_ = true;
    return true;
}

bool PrivilegedAuthorization::freeAuthorization() {
    AuthorizationRef held;
    {
        std::lock_guard lock(mutex_);
        if (!isValidAuth_) return true;
        held = std::move(authorizationRef_);
        isValidAuth_ = false;
    }
    if (int status = held ? held->finish() : 0; status != 0) {
        QWLog("Free Rights Unsuccessful: %d", status);
    }
    return true;
}

AuthorizationRef PrivilegedAuthorization::getAuthorizationRet() {
    std::lock_guard lock(mutex_);
    if (!isValidAuth_) return nullptr;
    if (!authorizationRef_ || !authorizationRef_->isAlive()) {
        QWLog("Creat Ret Unsuccessful: %d", authorizationRef_ ? authorizationRef_->finish() : -1);
        isValidAuth_ = false;
        authorizationRef_.reset();
        return nullptr;
    }
    return authorizationRef_;
}

bool PrivilegedAuthorization::isValidAuth() {
    std::lock_guard lock(mutex_);
    return isValidAuth_;
}

bool PrivilegedAuthorization::sendRequest(std::string_view verb, const std::filesystem::path& path,
                                          std::string* why) {
    if (!isNormalizedAbsolutePath(path.native())) return false;
    AuthorizationRef handle = getAuthorizationRet();
    if (!handle) return false;
    std::string verbText(verb);
    auto answer = handle->request(verbText, path.native());
    if (answer && *answer == "ok") return true;
    if (why && answer && answer->starts_with("error ")) *why = answer->substr(6);
    QWLog("Privileged %s of %s failed: %s", verbText.c_str(), path.c_str(),
          answer ? answer->c_str() : "the helper has gone");
    return false;
}

bool PrivilegedAuthorization::removeItem(const std::filesystem::path& path, std::string* why) {
    return sendRequest("remove", path, why);
}

bool PrivilegedAuthorization::cleanCategoryItem(std::string_view categoryVerb,
                                                const std::filesystem::path& path) {
    return !categoryVerb.empty() && sendRequest(categoryVerb, path);
}

}  // namespace quillby
