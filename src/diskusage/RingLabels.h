// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "diskusage/RingGeometry.h"
#include "diskusage/RingLayout.h"

namespace quillby {

// Where names go on the ring chart, without drawing: the shown folder's name and total in the
// centre disc, and each sector's name along its ring where the sector is wide and deep enough
// to hold it, shortened with "…" when only part fits and left out when not even that does.
// Widths come from the caller's font, in pixels.
using TextWidth = std::function<double(std::string_view)>;

// `text` when it is at most `room` wide; else its longest beginning of at least two characters
// that fits with "…" after it; else "".
std::string fitText(const std::string& text, double room, const TextWidth& width);

// One sector's name: drawn centred on (x, y) in pixels, turned by `angle` degrees clockwise so
// that it runs along the ring and never upside down.
struct RingLabel {
    const RingFolderNode* node = nullptr;
    std::string text;
    double x = 0.0;
    double y = 0.0;
    double angle = 0.0;
    // The widest line the sector holds there (the text's box lies inside the sector).
    double room = 0.0;
    bool highlight = false;
};

// The names of the frame's sectors around the centre disc. A label's box (`lineHeight` high,
// as wide as its text) stays inside its sector: within the ring's radii and within the
// sector's angles.
std::vector<RingLabel> sectorLabels(const std::vector<RingSector>& frame,
                                    const RingViewport& viewport, const TextWidth& width,
                                    double lineHeight);

// The centre disc's two lines: the shown folder's name and its total, each fitted to the disc.
struct CentreLabel {
    std::string name;
    std::string total;
    double x = 0.0;  // the disc's centre in pixels
    double y = 0.0;
};
CentreLabel centreLabel(const std::vector<RingSector>& frame, const RingViewport& viewport,
                        const TextWidth& width, double lineHeight);

// The widest straight line, `lineHeight` high, that fits inside a ring piece between `inner`
// and `outer` (pixels) over `sweep` degrees when centred on the middle of the ring; 0 when
// the ring is thinner than the line.
double labelRoom(double inner, double outer, double sweep, double lineHeight);

}  // namespace quillby
