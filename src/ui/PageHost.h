// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QObject;
class QWidget;

namespace quillby {

class Asker;
class FileViewer;
class MainQueue;
class PrivilegedAuthorization;

// What the program hands every page, in one bundle, whatever the page does with it.
struct PageNeeds {
    MainQueue* queue = nullptr;          // where workers hand results back to the GUI thread
    std::shared_ptr<Asker> asker;        // none: window-modal message boxes
    std::shared_ptr<FileViewer> viewer;  // none: the installed file viewer
    PrivilegedAuthorization* authorization = nullptr;  // none: no retry with rights
};

// The window as the pages see it. Every page registers through it and reaches the window only
// through it, so that pages know the kit and not the shell.
class PageHost {
  public:
    virtual ~PageHost() = default;

    virtual const PageNeeds& needs() const = 0;

    // A page of the window's toolbar. Identifiers starting with "QC_" or "DATA_" are a
    // feature's progress and results pages, which get no toolbar item.
    virtual void addPage(QWidget* page, const QString& identifier) = 0;

    // The "Scan" page's feature list: a row with its page (`rowWidget` is shown in the list in
    // place of the plain title), a row that only separates, a widget over a row's title (false
    // when there is no such row), the bar below the pages, the selected row, and `call` on
    // every selection while `context` lives.
    virtual void addFeature(int row, const QString& title, QWidget* page,
                            QWidget* rowWidget = nullptr) = 0;
    virtual void addFeatureSeparator(int row) = 0;
    virtual bool setFeatureRowWidget(int row, QWidget* widget) = 0;
    virtual void setFeatureBottomBar(QWidget* bar) = 0;
    virtual int selectedFeature() const = 0;
    virtual void onFeatureSelected(QObject* context, std::function<void(int row)> call) = 0;

    // For a feature whose pages take turns (`pages`: its main page, then the progress and the
    // results pages): a call that makes `pages[index]` the feature's page, shown at once when
    // the feature is on show and else the next time it is. The call may outlive the window.
    virtual std::function<void(int index)> featurePageSwitcher(const QStringList& pages) = 0;

    // Shows the page of `identifier` as a toolbar click does.
    virtual void showPage(const QString& identifier) = 0;
    // Shows the preferences page.
    virtual void openPreferences() = 0;
};

}  // namespace quillby
