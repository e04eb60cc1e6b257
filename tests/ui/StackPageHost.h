// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QStackedWidget>
#include <vector>

#include "ui/PageHost.h"

using namespace quillby;

// A page host without the window: the pages in a stack of their own, switched as the window
// would switch them, with every page turn kept in `turns`.
class StackPageHost final : public PageHost {
  public:
    explicit StackPageHost(PageNeeds needs) : needs_(std::move(needs)) {}

    const PageNeeds& needs() const override { return needs_; }
    void addPage(QWidget* page, const QString& identifier) override {
        if (!page) return;
        stack.addWidget(page);
        pages_.insert(identifier, page);
    }
    void addFeature(int, const QString& title, QWidget* page, QWidget*) override {
        addPage(page, title);
    }
    void addFeatureSeparator(int) override {}
    bool setFeatureRowWidget(int, QWidget*) override { return false; }
    void setFeatureBottomBar(QWidget*) override {}
    int selectedFeature() const override { return 0; }
    void onFeatureSelected(QObject*, std::function<void(int)>) override {}
    std::function<void(int)> featurePageSwitcher(const QStringList& pages) override {
        return [this, pages](int index) {
            turns.push_back(index);
            if (QWidget* page = pages_.value(pages.value(index))) stack.setCurrentWidget(page);
        };
    }
    void showPage(const QString& identifier) override {
        if (QWidget* page = pages_.value(identifier)) stack.setCurrentWidget(page);
    }
    void openPreferences() override { showPage(QStringLiteral("preferences")); }

    QStackedWidget stack;
    std::vector<int> turns;

  private:
    PageNeeds needs_;
    QHash<QString, QWidget*> pages_;
};
