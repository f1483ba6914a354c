#include "app/view_transform.h"

#include <algorithm>
#include <cmath>

namespace orvo {

namespace {

// Far-off points are held inside the int range, so that a deep zoom never makes the
// conversion overflow; a coordinate that is not a number (plates beyond the double
// range) goes to the origin instead of an undefined conversion.
int truncateToPixels(double v)
{
    constexpr double kLimit = 1e9;
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::clamp(v, -kLimit, kLimit));
}

bool usableScale(double s) { return std::isfinite(s) && s > 0.0; }

}  // namespace

void ViewTransform::setClientSize(int width, int height, const BoundingBox& world)
{
    width_ = width;
    height_ = height;
    world_ = world;
    fit();
}

void ViewTransform::setWorldBox(const BoundingBox& world)
{
    world_ = world;
    fit();
}

void ViewTransform::fit()
{
    const double s = std::min(width_ / std::fabs(boxWidth(world_)),
                              height_ / std::fabs(boxHeight(world_))) *
                     0.95;
    if (!usableScale(s)) return;  // no library yet, a single point, or no client area
    ox_ = width_ / 2;
    oy_ = height_ / 2;
    const Point centre = boxCentre(world_);
    cx_ = centre.x;
    cy_ = centre.y;
    scale_ = s;
}

void ViewTransform::pan(int dx, int dy)
{
    ox_ += dx;
    oy_ += dy;
}

void ViewTransform::zoomAt(int px, int py, double newScale)
{
    if (!usableScale(scale_) || !usableScale(newScale)) return;
    const Point p = screenToWorld(px, py);
    ox_ = px;
    oy_ = py;
    cx_ = p.x;
    cy_ = p.y;
    scale_ = newScale;
}

void ViewTransform::zoomWindow(int px1, int py1, int px2, int py2)
{
    if (!usableScale(scale_)) return;
    const Point p1 = screenToWorld(px1, py1);
    const Point p2 = screenToWorld(px2, py2);
    const double s =
        std::min(width_ / std::fabs(p2.x - p1.x), height_ / std::fabs(p2.y - p1.y));
    if (!usableScale(s)) return;  // both clicks on one pixel: nothing to show
    ox_ = width_ / 2;
    oy_ = height_ / 2;
    cx_ = (p1.x + p2.x) * 0.5;
    cy_ = (p1.y + p2.y) * 0.5;
    scale_ = s;
}

Point ViewTransform::screenToWorld(int px, int py) const
{
    // Before the first fit the scale is 0; the centre is then the only sensible answer.
    if (!usableScale(scale_)) return Point(cx_, cy_);
    const double dx = px - ox_;
    const double dy = oy_ - py;
    return Point(dx / scale_ + cx_, dy / scale_ + cy_);
}

PixelPoint ViewTransform::worldToScreen(const Point& p) const
{
    const int vx = truncateToPixels((p.x - cx_) * scale_);
    const int vy = truncateToPixels((p.y - cy_) * scale_);
    return PixelPoint{ox_ + vx, oy_ - vy};
}

}  // namespace orvo
