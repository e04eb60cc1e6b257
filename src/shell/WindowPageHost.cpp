// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/WindowPageHost.h"

#include <QPointer>

#include "shell/FastCleanPage.h"
#include "shell/PrefsWindowController.h"

namespace quillby {

WindowPageHost::WindowPageHost(PrefsWindowController& window, FastCleanPage& features,
                               PageNeeds needs)
    : window_(window), features_(features), needs_(std::move(needs)) {}

void WindowPageHost::addPage(QWidget* page, const QString& identifier) {
    window_.addView(page, identifier);
}

void WindowPageHost::addFeature(int row, const QString& title, QWidget* page, QWidget* rowWidget) {
    features_.addFeature(row, title, page, rowWidget);
}

void WindowPageHost::addFeatureSeparator(int row) {
    features_.addSeparator(row);
}

bool WindowPageHost::setFeatureRowWidget(int row, QWidget* widget) {
    return features_.setRowWidget(row, widget);
}

void WindowPageHost::setFeatureBottomBar(QWidget* bar) {
    features_.setBottomBar(bar);
}

int WindowPageHost::selectedFeature() const {
    return features_.selectedRow();
}

void WindowPageHost::onFeatureSelected(QObject* context, std::function<void(int row)> call) {
    QObject::connect(&features_, &FastCleanPage::rowSelected, context, std::move(call));
}

std::function<void(int index)> WindowPageHost::featurePageSwitcher(const QStringList& pages) {
    // The pages may outlive the window (they belong to the application object).
    QPointer<PrefsWindowController> window(&window_);
    return [window, pages](int index) {
        if (!window || index < 0 || index >= pages.size()) return;
        window->setFeaturePage(pages.first(), index);
        // Another feature the user went to meanwhile stays on show.
        if (pages.contains(window->currentIdentifier()))
            window->displayViewForIdentifier(pages[index], true);
    };
}

void WindowPageHost::showPage(const QString& identifier) {
    window_.toggleActivePreferenceView(identifier);
}

void WindowPageHost::openPreferences() {
    showPage(QStringLiteral("preferences"));
}

}  // namespace quillby
