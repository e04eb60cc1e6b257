#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "monitor/VolumeRow.h"
#include "sysinfo/ComputerInfoRows.h"

class CustomComInfoView;
class CustomVolumView;
class QVBoxLayout;

// The "My Computer" page: the boot volume's tile above the seven-row machine-facts table. When
// built it posts "FreeTotleArr" with the boot volume's total and free texts.
class MyMacView : public QWidget {
    Q_OBJECT
  public:
    using RowsProvider = std::function<std::vector<VolumeRow>()>;

    MyMacView(RowsProvider volumes, std::array<ComputerInfoRow, 7> facts,
              std::function<bool(const std::string&)> browse, QWidget* parent = nullptr);

    // Builds the page from a fresh enumeration.
    void initWithFrame();
    // Gives the tile the fresh figures of the boot volume.
    void updateViewAndData();

    CustomVolumView* tile() const { return tile_; }
    CustomComInfoView* table() const { return table_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    RowsProvider volumes_;
    std::function<bool(const std::string&)> browse_;
    QVBoxLayout* layout_;
    CustomVolumView* tile_ = nullptr;
    CustomComInfoView* table_;
};
