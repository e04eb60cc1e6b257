#include "diskusage/ui/DiskUsageColumnPane.h"

#include <QVBoxLayout>
#include <cerrno>

#include "core/events/Log.h"
#include "core/work/PrivilegedAuthorization.h"
#include "diskusage/DiskUsageAppController.h"
#include "diskusage/DiskUsageRemoval.h"
#include "diskusage/columns/DiskUsageColumnBrowser.h"

DiskUsageColumnPane::DiskUsageColumnPane(std::shared_ptr<Asker> asker,
                                         const std::string& homeFolder, QWidget* parent)
    : ColumnBrowserPane(parent),
      browser_(new DiskUsageColumnBrowser(std::move(asker), {}, this)),
      homeFolder_(homeFolder) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    removeFrom("");
}

void DiskUsageColumnPane::removeFrom(const std::string& scanRoot) {
    // A new removal for each tree: one still running on a worker keeps its own.
    auto removal =
        std::make_shared<DiskUsageRemoval>(DiskUsageRemoval::Guard{homeFolder_, scanRoot});
    browser_->setPathRemover([removal](const std::string& path) {
        return DiskUsageRemoval::firstError(removal->removeItems({path}));
    });
    browser_->setRightsRemoval(
        [] { return PrivilegedAuthorization::sharedAuthorization().allocAuthorization(); },
        [removal](const std::string& path) {
            return DiskUsageRemoval::firstError(removal->removeWithAdministratorRights(
                {path}, PrivilegedAuthorization::sharedAuthorization()));
        });
}

void DiskUsageColumnPane::showTree(FSNode* root) {
    removeFrom(root ? root->path() : "");
    browser_->setRoot(root);
}

ColumnBrowserFactory DiskUsageColumnPane::factory(std::shared_ptr<Asker> asker) {
    return [asker](DiskUsageAppController& controller, QWidget* parent) -> ColumnBrowserPane* {
        return new DiskUsageColumnPane(asker, controller.homeFolder(), parent);
    };
}
