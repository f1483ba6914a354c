#pragma once

#include "geometry/point.h"

namespace orvo {

// A pixel of the drawing area: x to the right, y downwards.
struct PixelPoint {
    int x = 0;
    int y = 0;

    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// Maps world millimetres (y up) to pixels of the drawing area (y down) and back, and
// keeps the state of panning and zooming. All values start at zero.
class ViewTransform {
public:
    // Stores the client size and the world box, then fits.
    void setClientSize(int width, int height, const BoundingBox& world);
    // Stores the world box, then fits.
    void setWorldBox(const BoundingBox& world);
    // Shows the stored world box with a margin of 5 % of the tighter dimension. A box
    // or client without extent changes nothing.
    void fit();
    void pan(int dx, int dy);
    // Zooms about a pixel: the world point under it stays under it.
    void zoomAt(int px, int py, double newScale);
    // Shows the world rectangle spanned by two pixels; the world box is kept.
    void zoomWindow(int px1, int py1, int px2, int py2);

    Point screenToWorld(int px, int py) const;
    Point screenToWorld(PixelPoint p) const { return screenToWorld(p.x, p.y); }
    PixelPoint worldToScreen(const Point& p) const;

    const BoundingBox& worldBox() const { return world_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int originX() const { return ox_; }
    int originY() const { return oy_; }
    double centreX() const { return cx_; }
    double centreY() const { return cy_; }
    double scale() const { return scale_; }

private:
    BoundingBox world_;
    int width_ = 0;
    int height_ = 0;
    int ox_ = 0;
    int oy_ = 0;
    double cx_ = 0.0;
    double cy_ = 0.0;
    double scale_ = 0.0;
};

}  // namespace orvo
