// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/PrefsWindowController.h"

#include <QAction>
#include <QActionGroup>
#include <QDesktopServices>
#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "core/events/Log.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "ui/ImageProvider.h"
#include "ui/WindowModalAsker.h"

namespace quillby {

namespace {

const QString kHelp = QStringLiteral("Help");
// Where the position of the window's inside and the size of pages with layouts are kept
// ("x y width height").
const std::string kFrameKey = "NSWindow Frame MainView";

QString labelFor(const QString& identifier) {
    static const QHash<QString, QString> labels = {
        {"Scan", "Fast Clean"},    {"duplicates_file", "Duplicates"}, {"disk_usage", "Disk Usage"},
        {"memory", "Free Memory"}, {"login_items", "Login Items"},
    };
    return labels.value(identifier);
}

QString toolTipFor(const QString& identifier) {
    if (identifier == QLatin1String("preferences")) return QStringLiteral("Preferences");
    if (identifier == kHelp) return QStringLiteral("Help");
    return labelFor(identifier);
}

bool isSubPage(const QString& identifier) {
    return identifier.startsWith(QLatin1String("QC_")) ||
           identifier.startsWith(QLatin1String("DATA_"));
}

// The index a toolbar click remembers, counted as if an uninstaller page "delete" sat after
// "disk_usage"; the stored value is then its position among the remembered pages.
int rememberedIndexFor(const QString& identifier) {
    static const QHash<QString, int> indexes = {{"Scan", 0},       {"duplicates_file", 1},
                                                {"disk_usage", 2}, {"delete", 3},
                                                {"memory", 4},     {"login_items", 5}};
    int index = indexes.value(identifier, 0);
    return index >= 3 ? index - 1 : index;
}

}  // namespace

const QStringList& PrefsWindowController::rememberedPages() {
    static const QStringList pages = {"Scan", "duplicates_file", "disk_usage", "memory",
                                      "login_items"};
    return pages;
}

PrefsWindowController::PrefsWindowController(QWidget* parent)
    : QMainWindow(parent),
      contentSubview_(new QWidget(this)),
      toolbar_(new QToolBar(this)),
      actions_(new QActionGroup(this)),
      saveFrameTimer_(new QTimer(this)) {
    setWindowTitle(QStringLiteral("Quillby Pro"));
    setCentralWidget(contentSubview_);
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar_->toggleViewAction()->setVisible(false);
    toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
    toolbar_->setAccessibleName(tr("Pages"));
    addToolBar(Qt::TopToolBarArea, toolbar_);
    actions_->setExclusive(true);
    urlOpener_ = [](const QString& address) { return QDesktopServices::openUrl(QUrl(address)); };
    asker_ = std::make_shared<WindowModalAsker>(this);
    contentSubview_->installEventFilter(this);
    // Moving and resizing come in bursts; the frame is written once they settle.
    saveFrameTimer_->setSingleShot(true);
    saveFrameTimer_->setInterval(400);
    connect(saveFrameTimer_, &QTimer::timeout, this, &PrefsWindowController::saveFrame);
}

bool PrefsWindowController::isFixedPage(const QWidget* page) {
    return page->minimumSize() == page->maximumSize();
}

void PrefsWindowController::fitContentTo(QWidget* page) {
    if (isFixedPage(page)) {
        contentSubview_->setFixedSize(page->size());
        return;
    }
    contentSubview_->setMinimumSize(page->minimumSizeHint().expandedTo(page->minimumSize()));
    contentSubview_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    page->setGeometry(contentSubview_->rect());
}

bool PrefsWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == contentSubview_ && event->type() == QEvent::Resize && currentPage_ &&
        !isFixedPage(currentPage_)) {
        currentPage_->setGeometry(contentSubview_->rect());
        if (isVisible() && !viewAnimation_) {
            flexibleSize_ = contentSubview_->size();
            saveFrameTimer_->start();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void PrefsWindowController::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (isVisible()) saveFrameTimer_->start();
}

void PrefsWindowController::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (isVisible()) saveFrameTimer_->start();
}

void PrefsWindowController::hideEvent(QHideEvent* event) {
    if (saveFrameTimer_->isActive()) {
        saveFrameTimer_->stop();
        saveFrame();
    }
    QMainWindow::hideEvent(event);
}

void PrefsWindowController::saveFrame() {
    QString frame = QStringLiteral("%1 %2 %3 %4")
                        .arg(geometry().x())
                        .arg(geometry().y())
                        .arg(flexibleSize_.width())
                        .arg(flexibleSize_.height());
    UserDefaults::standardUserDefaults().setObject(frame.toStdString(), kFrameKey);
}

void PrefsWindowController::restoreFrame() {
    // The size comes back; the place does not: the window opens centred on every show.
    auto stored = UserDefaults::standardUserDefaults().objectForKey(kFrameKey);
    const auto* text = stored ? std::get_if<std::string>(&*stored) : nullptr;
    QStringList parts =
        text ? QString::fromStdString(*text).split(QLatin1Char(' ')) : QStringList();
    if (parts.size() == 4) flexibleSize_ = QSize(parts[2].toInt(), parts[3].toInt());
}

void PrefsWindowController::addView(QWidget* view, const QString& identifier) {
    if (!view && identifier.isEmpty()) {
        auto* spacer = new QWidget(toolbar_);
        spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        toolbar_->addWidget(spacer);
        toolbar_->addSeparator();
        return;
    }
    if (!view) {
        auto* picture = new QLabel(toolbar_);
        picture->setFixedSize(175, 31);
        picture->setPixmap(QPixmap::fromImage(ImageProvider::shared().image(identifier)));
        toolbar_->addWidget(picture);
        return;
    }
    addView(view, identifier, isSubPage(identifier) ? QString() : identifier);
}

void PrefsWindowController::addView(QWidget* view, const QString& identifier,
                                    const QString& image) {
    Q_ASSERT_X(view, "addView", "Attempted to add a nil view when calling -addView:label:image:.");
    if (!view) return;
    toolbarIdentifiers_.append(identifier);
    toolbarViews_.insert(identifier, view);
    view->setParent(contentSubview_);
    view->hide();
    if (image.isEmpty()) return;
    auto* action = new QAction(ImageProvider::shared().icon(image), labelFor(identifier), actions_);
    action->setToolTip(toolTipFor(identifier));
    action->setCheckable(identifier != kHelp);
    action->setData(identifier);
    connect(action, &QAction::triggered, this, [this, identifier] {
        toggleActivePreferenceView(identifier, QGuiApplication::keyboardModifiers());
    });
    toolbar_->addAction(action);
    // Items that show only their image are still named for assistive technology; toolbars keep
    // their buttons out of the Tab order, but every page must be reachable without a mouse.
    if (QWidget* button = toolbar_->widgetForAction(action)) {
        button->setAccessibleName(toolTipFor(identifier));
        button->setFocusPolicy(Qt::TabFocus);
    }
    toolbarItems_.insert(identifier, action);
}

void PrefsWindowController::setFeaturePage(const QString& feature, int subPage) {
    if (feature == QLatin1String("Scan")) setView4FastClean(subPage);
    if (feature == QLatin1String("duplicates_file")) setView4Duplicates(subPage);
    if (feature == QLatin1String("disk_usage")) setView4DiskUsage(subPage);
}

QString PrefsWindowController::subPageIdentifier(const QString& identifier) const {
    static const QHash<QString, QString> features = {
        {"Scan", "FastClean"}, {"duplicates_file", "Duplicates"}, {"disk_usage", "DiskUsage"}};
    auto feature = features.find(identifier);
    if (feature == features.end()) return identifier;
    int subPage = identifier == QLatin1String("Scan")              ? view4FastClean_
                  : identifier == QLatin1String("duplicates_file") ? view4Duplicates_
                                                                   : view4DiskUsage_;
    if (subPage == 1) return QStringLiteral("QC_") + *feature;
    if (subPage == 2) return QStringLiteral("DATA_") + *feature;
    return identifier;
}

QString PrefsWindowController::currentIdentifier() const {
    for (auto it = toolbarViews_.begin(); it != toolbarViews_.end(); ++it) {
        if (it.value() && it.value() == currentPage_) return it.key();
    }
    return {};
}

void PrefsWindowController::showWindow() {
    if (!alreadyInitilized_) {
        setupToolbar();
        if (toolbarIdentifiers_.isEmpty())
            QWLog("No items were added to the toolbar in -setupToolbar.");
        restoreFrame();
    }
    bool firstShow = !alreadyInitilized_;
    alreadyInitilized_ = true;
    auto index = UserDefaults::standardUserDefaults().integerForKey(SettingsKey::QWToolbarItem_app);
    const QStringList& pages = rememberedPages();
    QString identifier =
        index >= 0 && index < pages.size() ? pages[static_cast<int>(index)] : QString();
    // A page that is not part of this build falls back to the first one that is.
    if (!toolbarItems_.contains(identifier)) {
        identifier.clear();
        for (const auto& candidate : toolbarIdentifiers_) {
            if (toolbarItems_.contains(candidate) && candidate != kHelp) {
                identifier = candidate;
                break;
            }
        }
    }
    if (QAction* item = toolbarItems_.value(identifier)) item->setChecked(true);
    if (!identifier.isEmpty()) displayViewForIdentifier(subPageIdentifier(identifier), false);
    if (firstShow) centreOnScreen();  // once the page has given the window its size
    show();
    raise();
    activateWindow();
}

void PrefsWindowController::centreOnScreen() {
    QScreen* screen = isVisible() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void PrefsWindowController::closeEvent(QCloseEvent* event) {
    QWLog("main window will close.");
    QWidget::closeEvent(event);  // hides it; the controller and its pages stay
}

void PrefsWindowController::toggleActivePreferenceView(const QString& identifier,
                                                       Qt::KeyboardModifiers modifiers) {
    willSwitchPage();
    UserDefaults::standardUserDefaults().setInteger(rememberedIndexFor(identifier),
                                                    SettingsKey::QWToolbarItem_app);
    if (identifier != kHelp) {
        if (QAction* item = toolbarItems_.value(identifier)) item->setChecked(true);
    }
    displayViewForIdentifier(subPageIdentifier(identifier), true, modifiers);
}

void PrefsWindowController::displayViewForIdentifier(const QString& identifier, bool animate,
                                                     Qt::KeyboardModifiers modifiers) {
    if (identifier == kHelp) {
        // Without a program for the address nothing would appear: say so, and where it is.
        if (!helpAddress_.isEmpty() && !urlOpener_(helpAddress_) && asker_) {
            asker_->tell("The guide could not be opened.",
                         "No program here opens " + helpAddress_.toStdString() + ".");
        }
        return;
    }
    QWidget* page = toolbarViews_.value(identifier);
    if (!page) return;
    if (viewAnimation_) viewAnimation_->stop();
    QWidget* old = currentPage_;
    for (auto* child : contentSubview_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->setGraphicsEffect(nullptr);  // a fade cut short leaves no page half-transparent
        if (child != old && child != page) child->hide();
    }
    if (page != old) {
        page->move(0, 0);
        if (!isFixedPage(page)) page->resize(contentSizeFor(page));
        page->show();
        page->setFocus();
        currentPage_ = page;
        int duration =
            (shiftSlowsAnimation_ && (modifiers & Qt::ShiftModifier)) ? kSlowFadeMs : kFadeMs;
        if (animate && crossFade_ && old) {
            crossFadeView(old, page, duration);
        } else {
            lastFadeMs_ = 0;
            if (old) old->hide();
            QRect frame = frameForView(page);
            fitContentTo(page);
            layout()->activate();  // the new size limits must hold before the window resizes
            setGeometry(frame);
        }
        setWindowTitle(QStringLiteral("Quillby Pro"));
    }
    if (identifier == QLatin1String("delete")) emit uninstallPageShown();
}

QRect PrefsWindowController::frameForView(const QWidget* page) const {
    // Before the first showing nothing is laid out yet; the toolbar is then the whole chrome.
    int chrome = isVisible() ? height() - contentSubview_->height() : toolbar_->sizeHint().height();
    QSize size = contentSizeFor(page);
    return QRect(geometry().topLeft(), QSize(size.width(), size.height() + chrome));
}

QSize PrefsWindowController::contentSizeFor(const QWidget* page) const {
    if (isFixedPage(page)) return page->size();
    QSize least = page->minimumSizeHint().expandedTo(page->minimumSize());
    bool remembered = flexibleSize_.isValid() && !flexibleSize_.isEmpty();
    return (remembered ? flexibleSize_ : page->sizeHint()).expandedTo(least);
}

void PrefsWindowController::crossFadeView(QWidget* oldPage, QWidget* newPage, int durationMs) {
    lastFadeMs_ = durationMs;
    auto* fadeOut = new QGraphicsOpacityEffect(oldPage);
    auto* fadeIn = new QGraphicsOpacityEffect(newPage);
    oldPage->setGraphicsEffect(fadeOut);
    newPage->setGraphicsEffect(fadeIn);
    auto* group = new QParallelAnimationGroup(this);
    auto animate = [&](QObject* target, const char* property, QVariant from, QVariant to) {
        auto* animation = new QPropertyAnimation(target, property, group);
        animation->setDuration(durationMs);
        animation->setEasingCurve(QEasingCurve::InOutQuad);
        animation->setStartValue(from);
        animation->setEndValue(to);
        group->addAnimation(animation);
    };
    animate(fadeOut, "opacity", 1.0, 0.0);
    animate(fadeIn, "opacity", 0.0, 1.0);
    QRect frame = frameForView(newPage);
    contentSubview_->setMinimumSize(0, 0);
    contentSubview_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    animate(this, "geometry", geometry(), frame);
    QPointer<QWidget> oldGuard = oldPage, newGuard = newPage;
    connect(group, &QParallelAnimationGroup::finished, this, [this, oldGuard, newGuard] {
        if (oldGuard && oldGuard != currentPage_) oldGuard->hide();
        if (oldGuard) oldGuard->setGraphicsEffect(nullptr);
        if (newGuard) {
            newGuard->setGraphicsEffect(nullptr);
            fitContentTo(newGuard);
        }
    });
    viewAnimation_ = group;
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace quillby
