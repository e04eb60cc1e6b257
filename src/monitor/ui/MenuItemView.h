// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>

#include "monitor/VolumeRow.h"

namespace quillby {

// One row of the volume panel (280 x 50): icon, title, level bar, total and free texts, and the
// eject button (volumes) or purge button (the memory row).
class MenuItemView : public QWidget {
    Q_OBJECT
  public:
    static constexpr QSize kSize{280, 50};

    // `eject` ejects a volume by reference number (true on success).
    MenuItemView(VolumeRow row, std::function<bool(std::int32_t)> eject, QWidget* parent = nullptr);

    const VolumeRow& row() const { return row_; }
    // Replaces the figures and redraws (the agent's tick).
    void setRow(VolumeRow row);
    // The rectangle of the eject or purge button.
    static QRect buttonRect() { return {255, 18, 13, 14}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    bool hasButton() const;
    // Does what a click does: on the row's button (eject or purge) or on the row (open it).
    void act(bool onButton);

    VolumeRow row_;
    std::function<bool(std::int32_t)> eject_;
};

}  // namespace quillby
