// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

namespace quillby {

// The drawings behind the state-named level images; `level` is 0 ... 100 (used percent).
namespace LevelImages {
QImage trayIcon(int level, bool alarm);  // 22 x 22 disk with its fill
QImage rowBar(int level, bool alarm);    // 200 x 25
QImage tileBar(int level, bool alarm);   // 420 x 18, drawn for a dark tile
QImage progressBar(int level);           // 120 x 10
}  // namespace LevelImages

}  // namespace quillby
