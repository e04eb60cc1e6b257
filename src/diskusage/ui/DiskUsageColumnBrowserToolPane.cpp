// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/DiskUsageColumnBrowserToolPane.h"

#include <QVBoxLayout>

#include "diskusage/DiskUsageAppController.h"
#include "diskusage/DiskUsageRemoval.h"
#include "diskusage/ui/DiskUsageColumnBrowser.h"

namespace quillby {

DiskUsageColumnBrowserToolPane::DiskUsageColumnBrowserToolPane(std::shared_ptr<Asker> asker,
                                                               const std::string& homeFolder,
                                                               QWidget* parent)
    : DiskUsageColumnBrowserPane(parent),
      browser_(new DiskUsageColumnBrowser(std::move(asker), {}, this)),
      homeFolder_(homeFolder) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    removeFrom("");
}

void DiskUsageColumnBrowserToolPane::removeFrom(const std::string& scanRoot) {
    // A new removal for each tree: one still running on a worker keeps its own.
    DiskUsageRemoval removal(DiskUsageRemoval::Guard{homeFolder_, scanRoot, {}});
    browser_->setRemovers(removal.pathRemover(), removal.rightsRemover());
}

void DiskUsageColumnBrowserToolPane::showTree(FSNode* root, const ItemTreeChanges* changes) {
    removeFrom(root ? root->path() : "");
    browser_->setRoot(root, changes);
}

DiskUsageColumnBrowserFactory DiskUsageColumnBrowserToolPane::factory(
    std::shared_ptr<Asker> asker) {
    return [asker](DiskUsageAppController& controller,
                   QWidget* parent) -> DiskUsageColumnBrowserPane* {
        auto* pane = new DiskUsageColumnBrowserToolPane(asker, controller.homeFolder(), parent);
        // The row of the tree shows what is left, from what the removal took.
        DiskUsageColumnBrowser* browser = pane->browser();
        QObject::connect(
            browser, &DiskUsageColumnBrowser::itemsRemoved, pane,
            [&controller, browser] { controller.browserRemovalApplied(browser->root()); });
        return pane;
    };
}

}  // namespace quillby
