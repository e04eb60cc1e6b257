// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/PackageUpdateService.h"

namespace quillby {

class MainQueue;

// Asks the package service on a thread of its own whether a newer quillby-pro package is
// available: once shortly after start and then at the interval of "SUScheduledCheckInterval",
// while "SUEnableAutomaticChecks" is on. A newer version is announced once, on the main thread;
// later checks that find the same version stay quiet. Where the service is missing no check is
// ever scheduled (and the preferences hide the update controls).
class UpdateChecker {
  public:
    static constexpr const char* kPackage = "quillby-pro";
    // The interval when none is stored (the preferences' "Daily"), and the least one honoured,
    // so that a hand-edited setting cannot make the program poll the package manager.
    static constexpr std::chrono::seconds kDefaultInterval{86400};
    static constexpr std::chrono::seconds kShortestInterval{3600};
    using Announce = std::function<void(const std::string& version)>;

    // `service` may be null (no package service on this system).
    UpdateChecker(std::shared_ptr<PackageUpdateService> service, MainQueue& queue,
                  Announce announce);
    // Stops the thread; one still waiting for the service is left to end by itself.
    ~UpdateChecker();

    // Reads the settings and starts the thread: it asks whether the service is there, tells the
    // main thread, and when it is, checks `firstDelay` after the start and then at each interval.
    void start(std::chrono::milliseconds firstDelay = std::chrono::minutes(1));

    // Whether the service is there; nothing until the thread has asked.
    std::optional<bool> available() const;
    // Runs `then` on the main thread with the answer once known (at once when it is).
    void whenAvailabilityKnown(std::function<void(bool available)> then);

    // Reads the two settings again; a new interval counts from the last check (or the start).
    void settingsChanged();
    // True while checks are scheduled: the service is there and automatic checks are on.
    bool scheduled() const;
    std::chrono::seconds interval() const;

    // One check on the calling thread (the checker's thread at each tick); the answer is handled
    // on the main thread, which announces a version not announced before.
    void check();

  private:
    struct Shared;
    static void checkFor(const std::shared_ptr<Shared>& shared);
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

// The desktop's software tool that shows available updates, as a title and a command line.
struct SoftwareTool {
    std::string title;
    std::vector<std::string> command;
};
// The tool for the desktop named by XDG_CURRENT_DESKTOP ("GNOME", "KDE", "ubuntu:GNOME"):
// Discover first on KDE, GNOME Software first elsewhere; `findProgram` gives a program's path
// or "". Nothing when neither is installed.
std::optional<SoftwareTool> softwareToolFor(
    std::string_view desktop, const std::function<std::string(const std::string&)>& findProgram);

// The balloon's lines for a newer version: what is available and what a click does.
std::vector<std::string> updateBalloonLines(const std::string& version,
                                            const std::optional<SoftwareTool>& tool);

}  // namespace quillby
