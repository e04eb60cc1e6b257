// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/UninstallPlanSheet.h"

#include "core/text/UtilityFunction.h"

namespace quillby {

std::string PlannedStep::line() const {
    std::string size = sizeText.empty() ? "" : " (" + sizeText + ")";
    return toTrash ? "move " + text + size + " to the trash" : "remove " + text + size;
}

UninstallPlanSheet UninstallPlanSheet::measure(const UninstallApp& uninstaller,
                                               const std::vector<AppItems>& apps,
                                               UninstallConfirmation confirmation) {
    UninstallPlanSheet sheet;
    sheet.confirmation = std::move(confirmation);
    for (const auto& app : apps) {
        PlannedApp planned{
            app.name, app.bundleID.value_or(app.path), UninstallApp::isOwnApplication(app), {}};
        if (!planned.isOwnApplication) {
            for (auto& [step, bytes] : uninstaller.measuredPlan(app)) {
                bool isFile = step.kind == RemovalStep::Kind::File;
                // A file step's description would add "(to the trash)": the line says it.
                std::string text = isFile ? step.target : step.description();
                std::string size = isFile ? UtilityFunction::convertVolSpace(bytes) : "";
                (step.toTrash ? sheet.bytesToTrash : sheet.bytesDeleted) += bytes;
                planned.steps.push_back({std::move(text), std::move(size), bytes, step.toTrash});
            }
        }
        sheet.apps.push_back(std::move(planned));
    }
    return sheet;
}

std::string UninstallPlanSheet::summary() const {
    return "Deleted: " + UtilityFunction::convertVolSpace(bytesDeleted) +
           ". To the trash (can be put back): " + UtilityFunction::convertVolSpace(bytesToTrash) +
           ".";
}

}  // namespace quillby
