#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

namespace orvo::test {

// Lines are drawn with integer truncation: a pixel of the colour within radius of p.
inline bool colourNear(const QImage& image, QPoint p, const QColor& colour, int radius = 1)
{
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint q = p + QPoint(dx, dy);
            if (image.rect().contains(q) && image.pixelColor(q) == colour) return true;
        }
    }
    return false;
}

}  // namespace orvo::test
