// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/PageHost.h"

namespace quillby {

class FastCleanPage;
class PrefsWindowController;

// The page host of the main window: pages go to its toolbar, feature rows to the "Scan" page's
// list, and a feature's page turns follow the window's remembered sub-pages.
class WindowPageHost final : public PageHost {
  public:
    // `features` is the "Scan" page whose list takes the feature rows.
    WindowPageHost(PrefsWindowController& window, FastCleanPage& features, PageNeeds needs);

    const PageNeeds& needs() const override { return needs_; }
    void addPage(QWidget* page, const QString& identifier) override;
    void addFeature(int row, const QString& title, QWidget* page,
                    QWidget* rowWidget = nullptr) override;
    void addFeatureSeparator(int row) override;
    bool setFeatureRowWidget(int row, QWidget* widget) override;
    void setFeatureBottomBar(QWidget* bar) override;
    int selectedFeature() const override;
    void onFeatureSelected(QObject* context, std::function<void(int row)> call) override;
    std::function<void(int index)> featurePageSwitcher(const QStringList& pages) override;
    void showPage(const QString& identifier) override;
    void openPreferences() override;

  private:
    PrefsWindowController& window_;
    FastCleanPage& features_;
    PageNeeds needs_;
};

}  // namespace quillby
