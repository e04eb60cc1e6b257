// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/RingGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quillby {

namespace {
constexpr double kRingWidth = static_cast<double>(0.7f);
constexpr double kRingShrink = 1.1;
}  // namespace

RingRadii ringRadii(int depth) {
    if (depth <= 0) return {0.0, 0.7};
    double inner = 0.0;
    for (int i = 1; i < depth; ++i) inner += kRingWidth * std::pow(kRingShrink, -i);
    return {inner, inner + kRingWidth * std::pow(kRingShrink, -depth)};
}

int sectorSlices(double sweep) {
    double pieces = sweep / 3.0;
    if (!(pieces >= 2.0)) return 2;
    return static_cast<int>(std::min(pieces, 1e6));
}

RingViewport::RingViewport(double width, double height)
    : width_(static_cast<int>(width)), height_(static_cast<int>(height)) {}

RingViewport::Area RingViewport::visibleArea() const {
    float w = static_cast<float>(std::max(width_, 1));
    float h = static_cast<float>(std::max(height_, 1));
    if (w > h) {
        float a = w / h;
        return {-3.0f * a, 3.0f * a, -3.0f, 3.0f};
    }
    float a = h / w;
    return {-3.0f, 3.0f, -3.0f * a, 3.0f * a};
}

void RingViewport::unproject(double x, double y, double& chartX, double& chartY) const {
    Area area = visibleArea();
    double w = std::max(width_, 1);
    double h = std::max(height_, 1);
    chartX = area.left + x / w * (static_cast<double>(area.right) - area.left);
    chartY = area.bottom + y / h * (static_cast<double>(area.top) - area.bottom);
}

PolarPoint RingViewport::toPolar(double x, double y) const {
    double chartX = 0.0;
    double chartY = 0.0;
    unproject(x, y, chartX, chartY);
    constexpr double pi = std::numbers::pi;
    return {std::sqrt(chartX * chartX + chartY * chartY),
            360.0 + ((std::atan2(chartX, chartY) + pi) / (-2.0 * pi)) * 360.0};
}

void RingViewport::toPixel(double chartX, double chartY, double& x, double& y) const {
    Area area = visibleArea();
    double w = std::max(width_, 1);
    double h = std::max(height_, 1);
    x = (chartX - area.left) / (static_cast<double>(area.right) - area.left) * w;
    y = h - (chartY - area.bottom) / (static_cast<double>(area.top) - area.bottom) * h;
}

double RingViewport::pixelsPerUnit() const {
    Area area = visibleArea();
    return std::max(width_, 1) / (static_cast<double>(area.right) - area.left);
}

}  // namespace quillby
