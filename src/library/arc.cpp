#include "library/arc.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/number_text.h"
#include "base/platform.h"
#include "library/error_report.h"

namespace orvo {

namespace {

bool finite(const Point& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

void warn(Platform* platform, const char* text)
{
    if (platform != nullptr) platform->showMessage(text, kCaptionWarning);
}

// "\t报警圆弧:起点(x0,y0),终点(x1,y1), " with which every alarm line starts.
std::string alarmStart(const Point& p0, const Point& p1)
{
    return "\t报警圆弧:起点(" + formatG(p0.x) + "," + formatG(p0.y) + "),终点(" + formatG(p1.x) +
           "," + formatG(p1.y) + "), ";
}

std::string distanceDetail(const Point& p0, const Point& p1, double radius)
{
    const double r = std::fabs(radius);
    return "错误细节:起讫点距离d=" + formatG(distance(p0, p1)) +
           "超过两倍半径的绝对值=2*|R|=2*" + formatG(r) + "=" + formatG(2.0 * r);
}

// Edge k of the loop: from vertex k to the next, the last back to vertex 0.
Point edgeEnd(const OutlineLoop& loop, int32_t k) { return loop.vertex((k + 1) % loop.count()); }

}  // namespace

Arc setArc(const Point& centre, double radius, double startAngle, double endAngle)
{
    Arc arc{centre, radius, startAngle, endAngle};
    if (!std::isfinite(startAngle) || !std::isfinite(endAngle)) return arc;
    if (startAngle - endAngle < 3600.0) {
        while (arc.endAngle < arc.startAngle) arc.endAngle += 360.0;
    } else {
        // Only absurd angles get here; adding 360 one turn at a time would never end.
        arc.endAngle += 360.0 * std::ceil((startAngle - endAngle) / 360.0);
    }
    return arc;
}

bool circleIntersection(const Circle& c0, const Circle& c1, Point& i0, Point& i1)
{
    const double d = distance(c0.centre, c1.centre);
    if (d > c0.radius + c1.radius) return false;
    const double a = (c0.radius * c0.radius - c1.radius * c1.radius + d * d) * 0.5 / d;
    // Rounding can take a a hair above r0 for circles that just touch.
    const double e = std::sqrt(std::max(0.0, c0.radius * c0.radius - a * a));
    const double dx = c1.centre.x - c0.centre.x;
    const double dy = c1.centre.y - c0.centre.y;
    const Point m(c0.centre.x + (a / d) * dx, c0.centre.y + (a / d) * dy);
    i0 = Point(m.x - (e / d) * dy, m.y + (e / d) * dx);
    i1 = Point(m.x + (e / d) * dy, m.y - (e / d) * dx);
    // Overflowing or non-finite input gives no usable intersection.
    return finite(i0) && finite(i1);
}

bool canConnect(const Point& p0, const Point& p1, double radius)
{
    return distance(p0, p1) <= 2.0 * std::fabs(radius);
}

bool buildArc(const Point& p0, const Point& p1, double radius, Arc& arc, Platform* platform)
{
    const double d = distance(p0, p1);
    double r = radius;
    if (d > 2.0 * std::fabs(r) + 0.5) {
        warn(platform, "起讫点距离>连接圆弧直径，生成圆弧失败!");
        return false;
    }
    if (d == 0.0) {
        warn(platform, "起讫点重合，生成圆弧失败!");
        return false;
    }
    if (2.0 * std::fabs(r) <= d && d <= 2.0 * std::fabs(r) + 0.5) r += r > 0.0 ? 0.5 : -0.5;
    const double rabs = std::fabs(r);
    Point i0;
    Point i1;
    if (!circleIntersection(Circle{p0, rabs}, Circle{p1, rabs}, i0, i1)) {
        warn(platform, "两圆求交失败!");
        return false;
    }
    const double z = (p0.x - i0.x) * (p1.y - i0.y) - (p0.y - i0.y) * (p1.x - i0.x);
    const Point centre = ((r > 0.0 && z > 0.0) || (r < 0.0 && z < 0.0)) ? i0 : i1;
    const double a0 = std::atan2(p0.y - centre.y, p0.x - centre.x) * 180.0 / kPi;
    const double a1 = std::atan2(p1.y - centre.y, p1.x - centre.x) * 180.0 / kPi;
    const Arc forward = setArc(centre, rabs, a0, a1);
    const Arc backward = setArc(centre, rabs, a1, a0);
    const double sweep = forward.endAngle - forward.startAngle;
    if (sweep < 180.0) {
        arc = forward;
    } else if (sweep == 180.0) {
        arc = r > 0.0 ? forward : backward;
    } else {
        arc = backward;
    }
    return true;
}

bool checkLoopArcs(const OutlineLoop& loop, ErrorReport& report)
{
    for (int32_t k = 0; k < loop.count(); ++k) {
        const double radius = loop.radii[static_cast<size_t>(k)];
        if (radius == 0.0) continue;
        const Point p0 = loop.vertex(k);
        const Point p1 = edgeEnd(loop, k);
        if (canConnect(p0, p1, radius)) continue;
        report.writeLine(alarmStart(p0, p1) + distanceDetail(p0, p1, radius) + ", 圆弧无法生成!");
        return false;
    }
    return true;
}

bool repairLoopArcs(OutlineLoop& loop, ErrorReport& report)
{
    for (int32_t k = 0; k < loop.count(); ++k) {
        double& radius = loop.radii[static_cast<size_t>(k)];
        if (radius == 0.0) continue;
        const Point p0 = loop.vertex(k);
        const Point p1 = edgeEnd(loop, k);
        if (canConnect(p0, p1, radius)) continue;
        report.writeLine("圆弧半径绝对值|R|需要适当增加，以连接零件轮廓某段起讫点。");
        const double before = radius;
        radius = radius > 0.0 ? radius + 0.1 : radius - 0.1;
        if (canConnect(p0, p1, radius)) {
            report.writeLine("圆弧半径绝对值|R|增加了0.1mm，问题得到修正。");
            continue;
        }
        report.writeLine("圆弧半径绝对值|R|增加了0.1mm，依然无法连接零件轮廓某段起讫点！");
        radius = before;
        return false;
    }
    return true;
}

bool checkLoopChord(const OutlineLoop& loop, double h, ErrorReport& report)
{
    for (int32_t k = 0; k < loop.count(); ++k) {
        const double radius = loop.radii[static_cast<size_t>(k)];
        if (radius == 0.0) continue;
        const Point p0 = loop.vertex(k);
        const Point p1 = edgeEnd(loop, k);
        if (!canConnect(p0, p1, radius)) {
            report.writeLine(alarmStart(p0, p1) + distanceDetail(p0, p1, radius) +
                             ", 半径绝对值太小, 圆弧生成失败!");
            return false;
        }
        if (std::fabs(radius) <= h) {
            report.writeLine(alarmStart(p0, p1) + "错误细节:圆弧半径的绝对值=" +
                             formatG(std::fabs(radius)) + "<弓高误差=" + formatG(h) +
                             ", 半径绝对值太小!");
            return false;
        }
    }
    return true;
}

}  // namespace orvo
