#include "diskusage/ui/DiskUsageColumnPane.h"

#include <QVBoxLayout>
#include <cerrno>

#include "core/Log.h"
#include "core/PrivilegedAuthorization.h"
#include "diskusage/DiskUsageAppController.h"
#include "diskusage/DiskUsageRemoval.h"
#include "diskusage/columns/DiskUsageColumnBrowser.h"

namespace {

// The browser counts an item as gone on 0 and offers the retry with rights on a permission
// error, so a refusal must be neither: it reads as "not supported", with its reason logged.
int outcomeError(const DiskUsageRemovalResult& result) {
    if (result.gone()) return 0;
    if (result.outcome == DiskUsageRemovalResult::Outcome::Refused) {
        QWLog("Remove %s refused: %s", result.path.c_str(), result.reason.c_str());
        return ENOTSUP;
    }
    return result.error != 0 ? result.error : EIO;
}

int firstOutcomeError(const std::vector<DiskUsageRemovalResult>& results) {
    for (const auto& result : results) {
        if (int error = outcomeError(result)) return error;
    }
    return 0;
}

}  // namespace

DiskUsageColumnPane::DiskUsageColumnPane(std::shared_ptr<Asker> asker,
                                         const std::string& homeFolder, QWidget* parent)
    : ColumnBrowserPane(parent), browser_(new DiskUsageColumnBrowser(std::move(asker), {}, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    auto removal = std::make_shared<DiskUsageRemoval>(DiskUsageRemoval::Guard{homeFolder, {}});
    browser_->setPathRemover([removal](const std::string& path) {
        return firstOutcomeError(removal->removeItems({path}));
    });
    browser_->setRightsRemoval(
        [] { return PrivilegedAuthorization::sharedAuthorization().allocAuthorization(); },
        [removal](const std::string& path) {
            return firstOutcomeError(removal->removeWithAdministratorRights(
                {path}, PrivilegedAuthorization::sharedAuthorization()));
        });
}

void DiskUsageColumnPane::showTree(FSNode* root) {
    browser_->setRoot(root);
}

ColumnBrowserFactory DiskUsageColumnPane::factory(std::shared_ptr<Asker> asker) {
    return [asker](DiskUsageAppController& controller, QWidget* parent) -> ColumnBrowserPane* {
        return new DiskUsageColumnPane(asker, controller.homeFolder(), parent);
    };
}
