// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <vector>

namespace quillby {

class AttachedWindow;

// The agent's short balloons: one to three lines of bold white text in a floating window near
// the top right of the screen. Each closes 5 seconds after it is shown; the pointer resting on it
// pauses the countdown and leaving it starts a new one. Balloons shown while others are open
// stack 60 points lower each; once none is open the next starts at the top again.
// A balloon with a click action closes and runs it when clicked. Where a program cannot place
// its own windows (Wayland), the texts go to the desktop's notifications instead.
class BubbleView : public QObject {
    Q_OBJECT
  public:
    static constexpr int kLifetimeMs = 5000;
    static constexpr int kStackStep = 60;

    explicit BubbleView(QObject* parent = nullptr);
    ~BubbleView() override;

    using ClickAction = std::function<void()>;

    // Shows one balloon; `error` uses the smaller error font; `onClick`, when set, runs when the
    // balloon is clicked. Gives the balloon's window (null when the text went to desktop
    // notifications).
    AttachedWindow* bubbleViewWith(const QStringList& lines, bool error = false,
                                   ClickAction onClick = {});

    // Where a balloon of `size` in stack slot `slot` goes on a screen area.
    static QPoint placement(const QRect& screen, QSize size, int slot);

    // Balloons open now, and the slot the next one takes.
    int openCount() const;
    int nextSlot() const { return shownSinceEmpty_; }

    // How long a balloon stays (5 seconds unless changed, for tests).
    void setLifetime(int milliseconds) { lifetimeMs_ = milliseconds; }

    // Sends texts (and the click action) somewhere other than own windows; set when the
    // platform cannot place windows.
    using NotificationSink = std::function<void(const QStringList&, ClickAction)>;
    void setNotificationSink(NotificationSink sink);

  private:
    void closed(const QObject* window);

    // A window leaves this list when it is destroyed, so the pointers here are always alive.
    struct Open {
        AttachedWindow* window;
        QTimer* timer;
    };
    std::vector<Open> open_;
    int shownSinceEmpty_ = 0;
    int lifetimeMs_ = kLifetimeMs;
    NotificationSink notificationSink_;
};

}  // namespace quillby
