// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "clean/CleanFolder.h"
#include "clean/ui/CleanBottomBar.h"
#include "clean/ui/CleanCategoryPage.h"
#include "clean/ui/CleanFeatureRow.h"
#include "clean/ui/CleanReportPage.h"
#include "ui/PageHost.h"

namespace quillby {

class Asker;
class SystemCleanModel;

// The system clean's widgets bound to its model: the overview row's total, the category rows 1
// to 6 and the separator row 7 of the "Scan" page's feature list, each category's review page, the
// bar with the buttons below the pages (on the overview's and the categories' rows), and the
// progress and results sub-pages. Every change of the model redraws them; the lists' workers reach
// the model through the main queue.
class SystemCleanView : public QObject {
    Q_OBJECT
  public:
    // `folders` lists a category's folders to scan.
    SystemCleanView(const PageNeeds& needs,
                    std::function<std::vector<CleanFolder>(int category)> folders,
                    QObject* parent = nullptr);
    ~SystemCleanView() override;

    // Adds the rows, their pages and the bar to the "Scan" page's feature list, and the progress
    // page ("QC_FastClean") and the results page ("DATA_FastClean"), which the window shows in
    // place of the "Scan" page while and after a clean.
    void registerWith(PageHost& host);

    SystemCleanModel& model() { return *model_; }
    CleanFeatureRow* row(int category) const { return rows_[category]; }
    CleanCategoryPage* categoryPage(int category) const { return pages_[category]; }
    CleanBottomBar* bar() const { return bar_; }
    // The overview row's size: the sum of the six categories.
    QLabel* overviewSize() const { return overviewSize_; }
    CleanReportPage* progressPage() const { return progress_; }
    CleanReportPage* resultsPage() const { return results_; }

  private:
    void refresh();

    std::shared_ptr<Asker> asker_;
    std::function<void(int subPage)> showSubPage_;
    std::unique_ptr<SystemCleanModel> model_;
    // The widgets belong to the page and the window, which may delete them before this object.
    std::array<QPointer<CleanFeatureRow>, 6> rows_{};
    std::array<QPointer<CleanCategoryPage>, 6> pages_{};
    QPointer<CleanBottomBar> bar_;
    QPointer<QLabel> overviewSize_;
    QPointer<CleanReportPage> progress_;
    QPointer<CleanReportPage> results_;
};

}  // namespace quillby
