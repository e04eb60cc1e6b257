// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>
#include <QWidget>

namespace quillby {

// The busy spinner: the images "loading_1.png" ... "loading_12.png" in turn while running,
// hidden otherwise.
class BusySpinner : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kFrames = 12;

    explicit BusySpinner(QWidget* parent = nullptr);

    void setRunning(bool running);
    bool isRunning() const { return timer_.isActive(); }
    int frame() const { return frame_; }
    static QString frameImage(int frame);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QTimer timer_;
    int frame_ = 1;
};

}  // namespace quillby
