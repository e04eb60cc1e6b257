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
class WorkRunner;

// The "My Computer" page: the boot volume's tile above the seven-row machine-facts table. When
// built it posts "FreeTotleArr" with the boot volume's total and free texts. The facts are read
// on a worker (DMI, /proc, uname); the table shows its titles with a placeholder until then.
class MyComputerPage : public QWidget {
    Q_OBJECT
  public:
    using RowsProvider = std::function<std::vector<VolumeRow>()>;
    using FactsReader = std::function<std::array<ComputerInfoRow, 7>()>;

    // The value each fact shows until it has been read.
    static constexpr const char* kPlaceholder = "\u2026";

    MyComputerPage(RowsProvider volumes, FactsReader facts,
                   std::function<bool(const std::string&)> browse, QWidget* parent = nullptr);

    // Builds the page from the volume list as it is.
    void initWithFrame();
    // Gives the tile the fresh figures of the boot volume; builds it when the list had none.
    void updateViewAndData();

    VolumeTile* tile() const { return tile_; }
    CustomComInfoView* table() const { return table_; }
    WorkRunner& work() const { return *work_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    RowsProvider volumes_;
    std::function<bool(const std::string&)> browse_;
    QVBoxLayout* layout_;
    VolumeTile* tile_ = nullptr;
    CustomComInfoView* table_;
    WorkRunner* work_;
};

}  // namespace quillby
