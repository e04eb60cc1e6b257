// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QParallelAnimationGroup;
class QTimer;
class QToolBar;

namespace quillby {

class Asker;

// The main window: a toolbar whose items switch between the feature pages, with a cross-fade,
// and the last page remembered across runs under "QWToolbarItem_app". Three features also have
// a progress page ("QC_" identifier) and a results page ("DATA_" identifier) that take the place
// of their main page while they work.
//
// A page of fixed size sets the window's size. A page laid out with layouts fills the window,
// which the user may resize; that size is remembered across runs under "NSWindow Frame
// MainView". The window opens centred on every show.
class PrefsWindowController : public QMainWindow {
    Q_OBJECT
  public:
    // The remembered indexes of the toolbar's feature pages, in their fixed order.
    static const QStringList& rememberedPages();
    static constexpr int kFadeMs = 250;
    static constexpr int kSlowFadeMs = 1250;

    explicit PrefsWindowController(QWidget* parent = nullptr);

    // Registers a page. Identifiers starting with "QC_" or "DATA_" get no toolbar item; others
    // get one showing the image named like the identifier. A null view with an identifier adds a
    // toolbar item with only its image; a null view and an empty identifier add a spacer.
    void addView(QWidget* view, const QString& identifier);
    // Registers a page with a toolbar item showing `image` (none when empty).
    void addView(QWidget* view, const QString& identifier, const QString& image);

    // Shows the window on the remembered page (or the feature's current sub-page).
    void showWindow();
    // Centres the window on the screen it is on (the primary one before the first showing).
    void centreOnScreen();
    // A toolbar click: remembers the page and shows it with animation. Shift (in `modifiers`)
    // slows the fade when that setting is on.
    void toggleActivePreferenceView(const QString& identifier,
                                    Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Shows the page of `identifier`; "Help" opens the help page instead.
    void displayViewForIdentifier(const QString& identifier, bool animate,
                                  Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // The window frame that fits `page`: same left and top edges, the page's size (for a page
    // with layouts the remembered size, at least its minimum) plus the window's title bar and
    // toolbar.
    QRect frameForView(const QWidget* page) const;
    // True for a page of fixed size.
    static bool isFixedPage(const QWidget* page);

    void setCrossFade(bool on) { crossFade_ = on; }
    void setShiftSlowsAnimation(bool on) { shiftSlowsAnimation_ = on; }
    void setView4FastClean(int subPage) { view4FastClean_ = subPage; }
    void setView4Duplicates(int subPage) { view4Duplicates_ = subPage; }
    void setView4DiskUsage(int subPage) { view4DiskUsage_ = subPage; }
    // The sub-page (0 main, 1 progress, 2 results) of the feature whose main page is `feature`.
    void setFeaturePage(const QString& feature, int subPage);

    // Where the "Help" item leads (opened in the browser).
    void setHelpAddress(QString address) { helpAddress_ = std::move(address); }
    // Replaces how "Help" is opened (tests); the opener answers whether a program took it.
    void setUrlOpener(std::function<bool(const QString&)> opener) {
        urlOpener_ = std::move(opener);
    }
    // Who tells the user that the guide could not be opened; by default a message box.
    void setAsker(std::shared_ptr<Asker> asker) { asker_ = std::move(asker); }

    const QStringList& toolbarIdentifiers() const { return toolbarIdentifiers_; }
    QWidget* currentPage() const { return currentPage_; }
    QString currentIdentifier() const;
    QAction* toolbarItem(const QString& identifier) const {
        return toolbarItems_.value(identifier);
    }
    // The duration of the last page fade in milliseconds (0 when the last switch did not fade).
    int lastFadeDuration() const { return lastFadeMs_; }

  signals:
    // The "delete" page (the uninstaller) was shown and should start searching.
    void uninstallPageShown();

  protected:
    // Registers the pages; called once, at the first showing.
    virtual void setupToolbar() {}
    // Called before every page switch of a toolbar click, so that settings changed meanwhile
    // (the fade settings) apply to it.
    virtual void willSwitchPage() {}
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QString subPageIdentifier(const QString& identifier) const;
    void crossFadeView(QWidget* oldPage, QWidget* newPage, int durationMs);
    // Lets the content area hold `page`: its fixed size, or at least its minimum.
    void fitContentTo(QWidget* page);
    // The size `page` takes in the window.
    QSize contentSizeFor(const QWidget* page) const;
    void restoreFrame();
    void saveFrame();

    QStringList toolbarIdentifiers_;
    QHash<QString, QPointer<QWidget>> toolbarViews_;
    QHash<QString, QAction*> toolbarItems_;
    QWidget* contentSubview_;
    QToolBar* toolbar_;
    QActionGroup* actions_;
    QPointer<QWidget> currentPage_;
    QPointer<QParallelAnimationGroup> viewAnimation_;
    bool crossFade_ = true;
    bool shiftSlowsAnimation_ = true;
    bool alreadyInitilized_ = false;
    int view4FastClean_ = 0;
    int view4Duplicates_ = 0;
    int view4DiskUsage_ = 0;
    int lastFadeMs_ = 0;
    QSize flexibleSize_;
    QTimer* saveFrameTimer_;
    QString helpAddress_;
    std::function<bool(const QString&)> urlOpener_;
    std::shared_ptr<Asker> asker_;
};

}  // namespace quillby
