// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/ui/BubbleView.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/AttachedWindow.h"

namespace quillby {

namespace {

QWidget* balloonContent(const QStringList& lines, bool error) {
    auto* content = new QWidget;
    bool twoLines = lines.size() > 1;
    // A third line (what a clean could not delete) makes the balloon one line higher.
    QStringList shown = lines.mid(0, 3);
    QFont font = QGuiApplication::font();
    font.setBold(true);
    font.setPointSize(error ? 12 : 13);
    // Wider for a line that would not fit, so that no text is cut.
    int widest = 0;
    for (const QString& line : shown) {
        widest = std::max(widest, QFontMetrics(font).horizontalAdvance(line) + 20);
    }
    content->setFixedSize(std::max(twoLines ? 280 : 220, widest), shown.size() > 2 ? 70 : 50);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(8, 5, 8, 5);
    layout->setSpacing(0);
    for (const QString& line : shown) {
        auto* label = new QLabel(line);
        label->setFont(font);
        label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
        label->setFixedHeight(twoLines ? 20 : 40);
        layout->addWidget(label);
    }
    return content;
}

// Runs a balloon's action on a click anywhere on it (its labels let the press through), once,
// and closes the balloon.
class ClickFilter : public QObject {
  public:
    ClickFilter(BubbleView::ClickAction action, QWidget* balloon)
        : QObject(balloon), action_(std::move(action)), balloon_(balloon) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != balloon_ || event->type() != QEvent::MouseButtonPress) return false;
        auto action = std::move(action_);
        action_ = nullptr;
        balloon_->close();
        if (action) action();
        return true;
    }

  private:
    BubbleView::ClickAction action_;
    QWidget* balloon_;
};

}  // namespace

BubbleView::BubbleView(QObject* parent) : QObject(parent) {}

BubbleView::~BubbleView() {
    auto balloons = open_;
    for (auto& balloon : balloons) balloon.window->close();
}

QPoint BubbleView::placement(const QRect& screen, QSize size, int slot) {
    // Near the top right, kept whole on the screen.
    int x = std::max(screen.left(), screen.right() - size.width() - 16);
    int y = screen.top() + 10 + kStackStep * slot;
    return {x, y};
}

int BubbleView::openCount() const {
    return static_cast<int>(open_.size());
}

void BubbleView::setNotificationSink(NotificationSink sink) {
    notificationSink_ = std::move(sink);
}

AttachedWindow* BubbleView::bubbleViewWith(const QStringList& lines, bool error,
                                           ClickAction onClick) {
    if (notificationSink_) {
        notificationSink_(lines, std::move(onClick));
        return nullptr;
    }
    auto* window = new AttachedWindow(balloonContent(lines, error));
    window->adjustSize();
    QScreen* screen = QGuiApplication::primaryScreen();
    QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    window->move(placement(area, window->size(), shownSinceEmpty_++));

    auto* timer = new QTimer(window);
    timer->setSingleShot(true);
    timer->setInterval(lifetimeMs_);
    connect(timer, &QTimer::timeout, window, &QWidget::close);
    window->setHoverHandler([timer](bool inside) {
        if (inside) {
            timer->stop();
        } else {
            timer->start();
        }
    });
    if (onClick) {
        window->setCursor(Qt::PointingHandCursor);
        window->installEventFilter(new ClickFilter(std::move(onClick), window));
    }
    connect(window, &QObject::destroyed, this, [this](QObject* gone) { closed(gone); });
    open_.push_back({window, timer});
    window->show();
    timer->start();
    return window;
}

void BubbleView::closed(const QObject* window) {
    std::erase_if(open_, [window](const Open& balloon) {
        return static_cast<const QObject*>(balloon.window) == window;
    });
    if (open_.empty()) shownSinceEmpty_ = 0;
}

}  // namespace quillby
