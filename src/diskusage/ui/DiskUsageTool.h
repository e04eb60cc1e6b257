// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "core/events/Subscription.h"
#include "diskusage/DiskUsageAppController.h"
#include "diskusage/ui/DiskUsageColumnBrowserPane.h"
#include "ui/PageHost.h"

class QLabel;
class QPushButton;
class QStackedWidget;

namespace quillby {

class DiskUsagePathListPage;
class DiskUsageProgressPage;
class DiskUsageRingPage;

// The disk-usage tool's widgets over one DiskUsageAppController: the path list page
// ("disk_usage"), the progress page ("QC_DiskUsage") and the results page ("DATA_DiskUsage",
// the ring page or the column browser). The tool registers the three pages with the window and
// turns them whenever the controller's page mode changes. Over the results a note says how many
// folders the scan could not read (they are marked "! " in the lists). From the results there is
// always a
// way back to the path list: the ring page's Back, the column view's own Back, Escape on
// either, and Alt+Left on the columns and from the first folder the ring showed (before that,
// Alt+Left and Alt+Right step through the ring's visited folders).
class DiskUsageTool : public QObject {
    Q_OBJECT
  public:
    struct Options {
        // The user, the folders and the volumes; the asker and the queue come from the bundle.
        DiskUsageAppController::Environment environment;
        // Makes the column browser; without one the column mode shows a notice.
        DiskUsageColumnBrowserFactory columnBrowser;
    };

    DiskUsageTool(const PageNeeds& needs, Options options, QObject* parent = nullptr);
    ~DiskUsageTool() override;

    static constexpr const char* kPathListPage = "disk_usage";
    static constexpr const char* kProgressPage = "QC_DiskUsage";
    static constexpr const char* kResultsPage = "DATA_DiskUsage";
    // The notice shown in place of the column browser when the build has none.
    static constexpr const char* kNoColumnView =
        "The column view is not available in this build. Turn on \"Show as a ring chart\" and "
        "scan again.";

    // Registers the three pages with the window, which shows the one of the page mode.
    void registerWith(PageHost& host);

    DiskUsageAppController& controller() { return *controller_; }
    // The pages; the window takes them over when they are registered.
    DiskUsagePathListPage* pathListPage() const;
    DiskUsageProgressPage* progressPage() const;
    QWidget* resultsPage() const;
    // The results page's ring page and column view, one of them shown.
    QStackedWidget* resultsStack() const;
    DiskUsageRingPage* ringPage() const;
    // Back to the path list from the column view (or its notice).
    QPushButton* columnsBackButton() const;
    // Over either results: how many folders the scan could not read; hidden when it read all.
    QLabel* unreadableNote() const;
    // The column browser, or nullptr when the build has none.
    DiskUsageColumnBrowserPane* columnBrowser() const { return columns_; }

  private:
    void pageModeChanged(int mode);
    // Back to the path list from whichever results are shown.
    void backFromResults();
    bool ringShown() const;

    std::unique_ptr<DiskUsageAppController> controller_;
    std::function<void(int)> showPage_;
    QPointer<DiskUsagePathListPage> pathList_;
    QPointer<DiskUsageProgressPage> progress_;
    QPointer<QWidget> resultsPage_;
    QPointer<QStackedWidget> results_;
    QPointer<QWidget> columnsBar_;
    QPointer<QPushButton> columnsBack_;
    QPointer<DiskUsageRingPage> ring_;
    QPointer<DiskUsageColumnBrowserPane> columns_;
    QPointer<QLabel> noColumns_;
    QPointer<QLabel> unreadable_;
    std::vector<Subscription> subscriptions_;
};

}  // namespace quillby
