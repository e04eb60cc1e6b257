// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/PackageKitService.h"

#include <systemd/sd-bus.h>
#include <chrono>
#include <cstring>

#include "core/events/Log.h"

namespace quillby {

namespace {

constexpr const char* kService = "org.freedesktop.PackageKit";
constexpr const char* kPath = "/org/freedesktop/PackageKit";
constexpr const char* kTransaction = "org.freedesktop.PackageKit.Transaction";
constexpr std::uint64_t kFilterNone = 1u << 1;       // PK_FILTER_ENUM_NONE
constexpr std::uint64_t kFilterInstalled = 1u << 2;  // PK_FILTER_ENUM_INSTALLED
constexpr std::uint32_t kExitSuccess = 1;            // PK_EXIT_ENUM_SUCCESS

// One system-bus connection and one error for the length of a request.
struct Bus {
    sd_bus* bus = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    Bus() {
        if (sd_bus_open_system(&bus) < 0) bus = nullptr;
    }
    ~Bus() {
        sd_bus_error_free(&error);
        if (bus) sd_bus_flush_close_unref(bus);
    }
    std::string errorText(int result) const {
        return error.message ? error.message : std::strerror(-result);
    }
    void resetError() {
        sd_bus_error_free(&error);
        error = SD_BUS_ERROR_NULL;
    }
};

// What one transaction reported through its signals.
struct TransactionState {
    bool finished = false;
    std::uint32_t exit = 0;
    std::string errorDetails;
    std::vector<std::string> packageIds;
};

int onSignal(sd_bus_message* message, void* data, sd_bus_error*) {
    auto* state = static_cast<TransactionState*>(data);
    const char* member = sd_bus_message_get_member(message);
    if (!member) return 0;
    if (std::strcmp(member, "Package") == 0) {
        std::uint32_t info = 0;
        const char* id = nullptr;
        const char* summary = nullptr;
        if (sd_bus_message_read(message, "uss", &info, &id, &summary) >= 0 && id) {
            state->packageIds.emplace_back(id);
        }
    } else if (std::strcmp(member, "ErrorCode") == 0) {
        std::uint32_t code = 0;
        const char* details = nullptr;
        if (sd_bus_message_read(message, "us", &code, &details) >= 0 && details) {
            state->errorDetails = details;
        }
    } else if (std::strcmp(member, "Finished") == 0) {
        std::uint32_t runtime = 0;
        sd_bus_message_read(message, "uu", &state->exit, &runtime);
        state->finished = true;
    }
    return 0;
}

// A new transaction's object path, or "" (with the reason in `why`).
std::string createTransaction(Bus& bus, std::string& why) {
    bus.resetError();
    sd_bus_message* reply = nullptr;
    int result = sd_bus_call_method(bus.bus, kService, kPath, kService, "CreateTransaction",
                                    &bus.error, &reply, "");
    std::string path;
    const char* text = nullptr;
    if (result >= 0 && sd_bus_message_read(reply, "o", &text) >= 0 && text) path = text;
    sd_bus_message_unref(reply);
    if (path.empty()) why = "PackageKit: " + bus.errorText(result);
    return path;
}

// Starts a call on a transaction, with its signals routed to `state`, and waits until it has
// finished or the time is up.
template <class Start>
bool runTransaction(Bus& bus, const std::string& path, TransactionState& state,
                    std::chrono::seconds limit, Start start, std::string& why) {
    sd_bus_slot* slot = nullptr;
    int result = sd_bus_match_signal(bus.bus, &slot, nullptr, path.c_str(), kTransaction, nullptr,
                                     onSignal, &state);
    if (result < 0) {
        why = "PackageKit: " + std::string(std::strerror(-result));
        return false;
    }
    bus.resetError();
    result = start();
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (result >= 0 && !state.finished) {
        result = sd_bus_process(bus.bus, nullptr);
        if (result != 0) continue;
        auto left = std::chrono::duration_cast<std::chrono::microseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        result = sd_bus_wait(bus.bus, static_cast<std::uint64_t>(left.count()));
    }
    sd_bus_slot_unref(slot);
    if (result < 0) {
        why = "PackageKit: " + bus.errorText(result);
        return false;
    }
    if (!state.finished) {
        why = "PackageKit did not finish in time";
        return false;
    }
    if (state.exit != kExitSuccess) {
        why = "PackageKit: " +
              (state.errorDetails.empty() ? "the transaction failed" : state.errorDetails);
        return false;
    }
    return true;
}

}  // namespace

std::string PackageKitService::packageNameOfId(const std::string& packageId) {
    return packageId.substr(0, packageId.find(';'));
}

std::string PackageKitService::packageVersionOfId(const std::string& packageId) {
    auto start = packageId.find(';');
    if (start == std::string::npos) return {};
    ++start;
    return packageId.substr(start, packageId.find(';', start) - start);
}

bool PackageKitService::idNamesPackage(const std::string& packageId, const std::string& package) {
    std::string name = packageNameOfId(packageId);
    return !name.empty() && (name == package || name == package.substr(0, package.find(':')));
}

bool PackageKitService::isRunning() {
    Bus bus;
    if (!bus.bus) return false;
    int owned = 0;
    sd_bus_message* reply = nullptr;
    if (sd_bus_call_method(bus.bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "NameHasOwner", &bus.error, &reply, "s",
                           kService) >= 0) {
        sd_bus_message_read(reply, "b", &owned);
    }
    sd_bus_message_unref(reply);
    if (owned) return true;

    bus.resetError();
    reply = nullptr;
    char** names = nullptr;
    bool activatable = false;
    if (sd_bus_call_method(bus.bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "ListActivatableNames", &bus.error, &reply,
                           "") >= 0 &&
        sd_bus_message_read_strv(reply, &names) >= 0 && names) {
        for (char** name = names; *name; ++name) {
            activatable = activatable || std::strcmp(*name, kService) == 0;
            free(*name);
        }
        free(names);
    }
    sd_bus_message_unref(reply);
    return activatable;
}

bool PackageKitService::removePackage(const std::string& package, const std::string& ownedPath,
                                      std::string& why) {
    Bus bus;
    if (!bus.bus) {
        why = "the system bus cannot be reached";
        return false;
    }
    std::string search = createTransaction(bus, why);
    if (search.empty()) return false;
    TransactionState found;
    bool searched = runTransaction(
        bus, search, found, std::chrono::minutes(2),
        [&] {
            return sd_bus_call_method(bus.bus, kService, search.c_str(), kTransaction,
                                      "SearchFiles", &bus.error, nullptr, "tas", kFilterInstalled,
                                      1, ownedPath.c_str());
        },
        why);
    if (!searched) return false;
    std::string packageId;
    for (const auto& id : found.packageIds) {
        if (idNamesPackage(id, package)) packageId = id;
    }
    if (packageId.empty()) {
        why = "PackageKit does not know " + package + " as the package of " + ownedPath;
        return false;
    }

    std::string removal = createTransaction(bus, why);
    if (removal.empty()) return false;
    bus.resetError();
    sd_bus_call_method(bus.bus, kService, removal.c_str(), kTransaction, "SetHints", &bus.error,
                       nullptr, "as", 1, "interactive=true");
    TransactionState removed;
    bool done = runTransaction(
        bus, removal, removed, std::chrono::hours(1),
        [&] {
            return sd_bus_call_method(bus.bus, kService, removal.c_str(), kTransaction,
                                      "RemovePackages", &bus.error, nullptr, "tasbb",
                                      std::uint64_t{0}, 1, packageId.c_str(), 0, 0);
        },
        why);
    if (done) QWLog("PackageKit removed %s", packageId.c_str());
    return done;
}

PackageUpdateAnswer PackageKitService::newerVersion(const std::string& package) {
    using State = PackageUpdateAnswer::State;
    PackageUpdateAnswer answer;
    Bus bus;
    if (!bus.bus) {
        answer.why = "the system bus cannot be reached";
        return answer;
    }
    // The package ID of `package` among what one query transaction lists, or "".
    auto query = [&](const char* method, std::uint64_t filter, bool withNames) -> std::string {
        std::string path = createTransaction(bus, answer.why);
        if (path.empty()) return {};
        TransactionState listed;
        bool done = runTransaction(
            bus, path, listed, std::chrono::minutes(2),
            [&] {
                return withNames ? sd_bus_call_method(bus.bus, kService, path.c_str(), kTransaction,
                                                      method, &bus.error, nullptr, "tas", filter, 1,
                                                      package.c_str())
                                 : sd_bus_call_method(bus.bus, kService, path.c_str(), kTransaction,
                                                      method, &bus.error, nullptr, "t", filter);
            },
            answer.why);
        if (!done) return {};
        answer.why.clear();
        for (const auto& id : listed.packageIds) {
            if (idNamesPackage(id, package)) return id;
        }
        return {};
    };
    std::string update = query("GetUpdates", kFilterNone, false);
    if (!update.empty()) return {State::Newer, packageVersionOfId(update), {}};
    if (!answer.why.empty()) return answer;
    std::string installed = query("Resolve", kFilterInstalled, true);
    if (!installed.empty()) return {State::UpToDate, packageVersionOfId(installed), {}};
    if (!answer.why.empty()) return answer;
    return {State::NotInstalled, {}, {}};
}

}  // namespace quillby
