// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/AppDetails.h"

#include <ctime>

#include "core/text/PlainText.h"
#include "core/text/UtilityFunction.h"

namespace quillby {

std::string AppDetails::mediumDateText(std::chrono::system_clock::time_point date) {
    std::time_t seconds = std::chrono::system_clock::to_time_t(date);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[64];
    std::strftime(text, sizeof text, "%b %-d, %Y, %H:%M:%S", &local);
    return text;
}

AppDetails AppDetails::forApp(const AppItems& app, const UninstallApp& planner) {
    return forApp(app, UninstallPlanSheet::measure(planner, {app}, {}).apps.front());
}

AppDetails AppDetails::forApp(const AppItems& app, const PlannedApp& plan) {
    AppDetails details;
    details.name = cutText(app.name, nameShownLength);
    details.nameToolTip = app.name;
    details.image = app.image;
    bool unit = false;
    for (const auto& step : plan.steps) {
        details.size += step.bytes;
        unit = unit || step.sizeText.empty();  // a package, Flatpak or snap
    }
    details.sizeText = UtilityFunction::convertVolSpace(details.size);
    if (details.sizeText.empty()) details.sizeText = "--";
    if (unit) details.sizeText += " of the user's files";
    details.created = "Created: " + mediumDateText(app.date);
    details.path = cutText(app.path, pathShownLength);
    details.pathToolTip = app.path;
    return details;
}

}  // namespace quillby
