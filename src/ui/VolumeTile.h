// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>

#include "monitor/VolumeRow.h"
#include "ui/PaintedParts.h"

class QToolButton;

namespace quillby {

// One tile of the main window's volume list (700 x 90 at the least): icon, name, level bar, "%@
// Free" and total texts in white, a browse button and, for ejectable volumes, an eject button.
// Assistive technology reads it as a group named after the volume, described "X free of Y", with
// the level bar as a progress bar of the space used.
class VolumeTile : public QWidget, public PaintedParts {
    Q_OBJECT
  public:
    static constexpr QSize kSize{700, 90};  // the smallest size; wider with the page

    // `eject` ejects by reference number; `browse` opens a folder in the file manager.
    VolumeTile(VolumeRow row, std::function<bool(std::int32_t)> eject,
               std::function<bool(const std::string&)> browse, QWidget* parent = nullptr);

    const VolumeRow& row() const { return row_; }
    void setRow(VolumeRow row);
    QToolButton* browseButton() const { return browse_; }
    QToolButton* ejectButton() const { return eject_; }

    QAccessible::Role paintedRole() const override { return QAccessible::Grouping; }
    int paintedPartCount() const override { return 1; }
    Part paintedPart(int index) const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static constexpr int kBarLeft = 88;
    static constexpr int kDesignBarWidth = 420;  // at the smallest size
    // The level bar's width: what the tile gained over its smallest size goes to the bar.
    int barWidth() const;
    QRect barRect() const;

    VolumeRow row_;
    std::function<bool(std::int32_t)> ejectVolume_;
    std::function<bool(const std::string&)> browseFolder_;
    QToolButton* browse_;
    QToolButton* eject_;
};

}  // namespace quillby
