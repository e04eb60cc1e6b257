// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>

#include "sysinfo/ComputerInfoRows.h"
#include "ui/PaintedParts.h"

namespace quillby {

// The machine-facts table: always seven rows of icon, title and value, in white on the cell
// background. Assistive technology reads it as a list of seven items, "Title: value" each.
class CustomComInfoView : public QWidget, public PaintedParts {
    Q_OBJECT
  public:
    static constexpr int kRowHeight = 36;

    explicit CustomComInfoView(std::array<ComputerInfoRow, 7> rows, QWidget* parent = nullptr);
    const std::array<ComputerInfoRow, 7>& rows() const { return rows_; }
    void setRows(std::array<ComputerInfoRow, 7> rows);

    QAccessible::Role paintedRole() const override { return QAccessible::List; }
    int paintedPartCount() const override { return 7; }
    Part paintedPart(int index) const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect rowRect(int index) const;

    std::array<ComputerInfoRow, 7> rows_;
};

}  // namespace quillby
