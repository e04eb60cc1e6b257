// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "diskusage/ui/DiskUsageColumnBrowserPane.h"

namespace quillby {

class Asker;
class DiskUsageColumnBrowser;

// The column browser in the disk-usage tool: it shows the selected row's tree and removes
// through the tool's guarded removal, so `/`, mount points, the home folder and the top-level
// folders are refused here as on the ring page.
class DiskUsageColumnBrowserToolPane final : public DiskUsageColumnBrowserPane {
    Q_OBJECT
  public:
    DiskUsageColumnBrowserToolPane(std::shared_ptr<Asker> asker, const std::string& homeFolder,
                                   QWidget* parent);

    void showTree(FSNode* root, const ItemTreeChanges* changes) override;
    DiskUsageColumnBrowser* browser() const { return browser_; }

    // The factory the tool is given: one pane per tool, asking through `asker`.
    static DiskUsageColumnBrowserFactory factory(std::shared_ptr<Asker> asker);

  private:
    // Removes the tree's items from the scanned folder `scanRoot` ("" for none shown).
    void removeFrom(const std::string& scanRoot);

    DiskUsageColumnBrowser* browser_;
    std::string homeFolder_;
};

}  // namespace quillby
