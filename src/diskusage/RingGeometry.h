// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillby {

// The ring chart's geometry, in chart units: the chart is centred on the origin, the visible
// area is 6 units across its shorter side, angles are degrees with 0 along +y (up on screen)
// growing towards +x (clockwise on screen), a full turn being 360.

// Inner and outer radius of the ring at a depth.
struct RingRadii {
    double inner = 0.0;
    double outer = 0.0;
};

// Depth d (1 is the centre disc) has inner radius k (q^-1 + ... + q^-(d-1)) and outer radius
// inner + k q^-d, with k the single-precision 0.7 and q = 1.1; depth 0 (never laid out) has
// 0 and 0.7. Depth 5 ends at 2.653551.
RingRadii ringRadii(int depth);

// How many straight pieces draw a sector: one per 3 degrees, at least 2.
int sectorSlices(double sweep);

// A point in polar form: distance from the centre and angle in [0, 360].
struct PolarPoint {
    double r = 0.0;
    double t = 0.0;
};

// The mapping between a view's pixels and chart units (an orthographic projection).
class RingViewport {
  public:
    // A view of the given size in pixels; fractions are cut off.
    RingViewport(double width, double height);

    struct Area {
        float left, right, bottom, top;
    };
    // The visible chart area: with width w > height h, a = w / h and x runs from -3a to 3a, y
    // from -3 to 3; otherwise a = h / w and x runs from -3 to 3, y from -3a to 3a (ratios in
    // single precision).
    Area visibleArea() const;

    // The chart point under the pixel (x, y), with y counted from the top edge downwards as
    // widget toolkits give it. The result's y is mirrored (points above the centre have
    // negative y), which the angle of toPolar accounts for.
    void unproject(double x, double y, double& chartX, double& chartY) const;
    // The polar position of the pixel (x, y) (y counted from the top edge): r = sqrt(x² + y²)
    // and t = 360 + ((atan2(x, y) + π) / (-2π)) × 360 of the unprojected point.
    PolarPoint toPolar(double x, double y) const;
    // The pixel of a chart point given with y up (for drawing).
    void toPixel(double chartX, double chartY, double& x, double& y) const;
    // Pixels per chart unit.
    double pixelsPerUnit() const;

    int width() const { return width_; }
    int height() const { return height_; }

  private:
    int width_;
    int height_;
};

}  // namespace quillby
