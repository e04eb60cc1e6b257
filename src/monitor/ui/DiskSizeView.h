// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "monitor/VolumeRow.h"

class QVBoxLayout;

namespace quillby {

class VolumeTile;

// The main window's volume list: one tile per mounted volume, in enumeration order, in a list
// that scrolls beyond four tiles.
class DiskSizeView : public QWidget {
    Q_OBJECT
  public:
    using RowsProvider = std::function<std::vector<VolumeRow>()>;

    DiskSizeView(RowsProvider rows, std::function<bool(std::int32_t)> eject,
                 std::function<bool(const std::string&)> browse, QWidget* parent = nullptr);

    // Rebuilds every tile from a fresh enumeration (after mounts and unmounts).
    void initDiskSizeView();
    // Gives the tiles the fresh figures, tile i from record i (every tick).
    void updateViewAndData();

    const std::vector<VolumeTile*>& allItemArr() const { return tiles_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    RowsProvider rows_;
    std::function<bool(std::int32_t)> eject_;
    std::function<bool(const std::string&)> browse_;
    QVBoxLayout* list_;
    std::vector<VolumeTile*> tiles_;
};

}  // namespace quillby
