// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "monitor/VolumeRow.h"
#include "sysinfo/ComputerInfoRows.h"

class QVBoxLayout;

namespace quillby {

class CustomComInfoView;
class VolumeTile;

// The "My Computer" page: the boot volume's tile above the seven-row machine-facts table. When
// built it posts "FreeTotleArr" with the boot volume's total and free texts.
class MyComputerPage : public QWidget {
    Q_OBJECT
  public:
    using RowsProvider = std::function<std::vector<VolumeRow>()>;

    MyComputerPage(RowsProvider volumes, std::array<ComputerInfoRow, 7> facts,
                   std::function<bool(const std::string&)> browse, QWidget* parent = nullptr);

    // Builds the page from a fresh enumeration.
    void initWithFrame();
    // Gives the tile the fresh figures of the boot volume.
    void updateViewAndData();

    VolumeTile* tile() const { return tile_; }
    CustomComInfoView* table() const { return table_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    RowsProvider volumes_;
    std::function<bool(const std::string&)> browse_;
    QVBoxLayout* layout_;
    VolumeTile* tile_ = nullptr;
    CustomComInfoView* table_;
};

}  // namespace quillby
