// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>

#include "sysinfo/ComputerInfoRows.h"

namespace quillby {

// The machine-facts table: always seven rows of icon, title and value, in white on the cell
// background.
class CustomComInfoView : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kRowHeight = 36;

    explicit CustomComInfoView(std::array<ComputerInfoRow, 7> rows, QWidget* parent = nullptr);
    const std::array<ComputerInfoRow, 7>& rows() const { return rows_; }
    void setRows(std::array<ComputerInfoRow, 7> rows);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::array<ComputerInfoRow, 7> rows_;
};

}  // namespace quillby
