// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>

namespace quillby {

// A borderless floating window that holds one content view, used for balloons: dark translucent
// background, white border, rounded corners. It reports the pointer entering and leaving.
class AttachedWindow : public QWidget {
    Q_OBJECT
  public:
    // Takes ownership of `content`.
    explicit AttachedWindow(QWidget* content);

    // Called with true when the pointer enters the window and false when it leaves.
    void setHoverHandler(std::function<void(bool inside)> handler);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    std::function<void(bool)> hoverHandler_;
};

}  // namespace quillby
