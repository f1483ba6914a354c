#include "geometry/contour.h"

#include <algorithm>
#include <cmath>

#include "base/text_encoding.h"

namespace orvo {

namespace {

// The longest prefix of at most limit bytes that does not split a character.
size_t cutLength(const std::string& s, size_t limit)
{
    if (s.size() <= limit) return s.size();
    if (isValidUtf8(s)) {
        size_t end = limit;
        while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0u) == 0x80u) --end;
        return end;
    }
    // Not UTF-8: taken as GBK, where a lead byte 0x81-0xFE carries its trail byte.
    size_t end = 0;
    while (end < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[end]);
        const size_t unit = (c >= 0x81 && c <= 0xFE && end + 1 < s.size()) ? 2 : 1;
        if (end + unit > limit) break;
        end += unit;
    }
    return end;
}

}  // namespace

void Contour::setPoints(int32_t n, const Point* array)
{
    // Built aside first: the array may be this contour's own vertices.
    std::vector<Point> copy;
    if (n > 0 && array != nullptr) copy.assign(array, array + n);
    points.swap(copy);
    contourBox(*this);
    contourArea(*this);
}

void Contour::setPoints(const std::vector<Point>& array)
{
    setPoints(static_cast<int32_t>(array.size()), array.data());
}

double contourArea(Contour& k)
{
    const size_t n = k.points.size();
    double sum = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const Point& a = k.points[i];
        const Point& b = k.points[(i + 1) % n];
        sum += (a.y + b.y) * (b.x - a.x) * 0.5;
    }
    k.area = std::fabs(sum);
    return k.area;
}

bool isCounterClockwise(const Contour& k)
{
    const size_t n = k.points.size();
    double sum = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const Point& a = k.points[i];
        const Point& b = k.points[(i + 1) % n];
        sum += (a.x - b.x) * 0.5 * (a.y + b.y);
    }
    return sum > 0.0;
}

namespace {

// Box centre: the stand-in centroid of a chain that encloses no area.
template <bool Moved>
Point boxCentre(const Contour& k, double dx, double dy)
{
    if (k.empty()) return Point();
    auto x = [&](const Point& v) { return Moved ? v.x + dx : v.x; };
    auto y = [&](const Point& v) { return Moved ? v.y + dy : v.y; };
    double minX = x(k.points[0]), maxX = minX, minY = y(k.points[0]), maxY = minY;
    for (const Point& v : k.points) {
        minX = std::min(minX, x(v));
        maxX = std::max(maxX, x(v));
        minY = std::min(minY, y(v));
        maxY = std::max(maxY, y(v));
    }
    return Point((minX + maxX) * 0.5, (minY + maxY) * 0.5);
}

// The centroid of k's vertices, each moved by (dx, dy) first when Moved.
template <bool Moved>
Point centroidOf(const Contour& k, double dx, double dy)
{
    const size_t n = k.points.size();
    double area = 0.0, sx = 0.0, sy = 0.0;
    for (size_t i = 0; i < n; ++i) {
        Point a = k.points[i];
        Point b = k.points[(i + 1) % n];
        if constexpr (Moved) {
            a = Point(a.x + dx, a.y + dy);
            b = Point(b.x + dx, b.y + dy);
        }
        area += (b.y + a.y) * (-(b.x - a.x)) * 0.5;
        sx += (b.x * a.x + a.x * a.x + b.x * b.x) * (b.y - a.y) / 6.0;
        sy += (b.y * a.y + a.y * a.y + b.y * b.y) * (b.x - a.x) * (-1.0 / 6.0);
    }
    const Point c(sx / area, sy / area);
    // A chain that encloses no area has no area centroid; its box centre stands in.
    if (area == 0.0 || !std::isfinite(c.x) || !std::isfinite(c.y)) return boxCentre<Moved>(k, dx, dy);
    return c;
}

}  // namespace

Point contourCentroid(const Contour& k) { return centroidOf<false>(k, 0.0, 0.0); }

Point contourCentroid(const Contour& k, double dx, double dy) { return centroidOf<true>(k, dx, dy); }

BoundingBox contourBox(Contour& k)
{
    BoundingBox box;
    if (!k.empty()) {
        box.min_X = box.max_X = k.points[0].x;
        box.min_Y = box.max_Y = k.points[0].y;
        for (size_t i = 1; i < k.points.size(); ++i) {
            const Point& v = k.points[i];
            if (v.x > box.max_X) box.max_X = v.x;
            if (v.x < box.min_X) box.min_X = v.x;
            if (v.y > box.max_Y) box.max_Y = v.y;
            if (v.y < box.min_Y) box.min_Y = v.y;
        }
    }
    k.box = box;
    return box;
}

void translateContour(Contour& k, double dx, double dy)
{
    if (k.empty()) return;
    for (Point& v : k.points) {
        v.x += dx;
        v.y += dy;
    }
    k.box = shifted(k.box, dx, dy);
}

BoundingBox rotateContour(Contour& k, const Point& centre, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    for (Point& v : k.points) {
        const Point r = rotatedPoint(v, centre, c, s);
        v.x = r.x;
        v.y = r.y;
    }
    return contourBox(k);
}

void reflectContour(Contour& k, const Segment& mirror)
{
    for (Point& v : k.points) {
        const Point r = reflectPoint(mirror, v);
        v.x = r.x;
        v.y = r.y;
    }
    contourBox(k);
}

Point nearestVertex(const Contour& k, const Point& p)
{
    if (k.empty()) return Point();
    size_t best = 0;
    double bestDistance = distance(k.points[0], p);
    for (size_t i = 1; i < k.points.size(); ++i) {
        const double d = distance(k.points[i], p);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return k.points[best];
}

void TextLabel::setText(const std::string& value) { text = value.substr(0, cutLength(value, kMaxText)); }

void TextLabel::rotateAbout(const Point& centre, double angle)
{
    Point at(x, y);
    rotatePoint(at, centre, angle);
    x = at.x;
    y = at.y;
    this->angle += angle / kPi * 180.0;
}

void TextLabel::reflectIn(const Segment& mirror)
{
    const Point at = reflectPoint(mirror, Point(x, y));
    x = at.x;
    y = at.y;
}

}  // namespace orvo
