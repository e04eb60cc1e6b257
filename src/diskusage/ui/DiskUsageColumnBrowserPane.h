// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>

namespace quillby {

class DiskUsageAppController;
class FSNode;
class ItemTreeChanges;

// The place of the column browser on the disk-usage results page. A build that has the browser
// gives the tool a factory for it; the tool shows the selected row's item tree in it.
class DiskUsageColumnBrowserPane : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;
    // Shows `root`'s items (nullptr: an empty browser) with their `changes` since the place's
    // previous scan, when one was compared. Both belong to the tool's controller and live until
    // that row is scanned again.
    virtual void showTree(FSNode* root, const ItemTreeChanges* changes) = 0;
};

// Makes the column browser for the tool's controller (its removal, its rows).
using DiskUsageColumnBrowserFactory =
    std::function<DiskUsageColumnBrowserPane*(DiskUsageAppController& controller, QWidget* parent)>;

}  // namespace quillby
