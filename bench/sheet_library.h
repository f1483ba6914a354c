// A generator of sheet-metal part libraries for the scaling benchmark: plates with and
// without rounded corners and bolt holes, L and U brackets with filleted inner corners,
// round and square flanges, ring and frame gaskets, discs and washers, slotted plates,
// gussets and link plates, each type in a few copies, for 3000 x 1500 plates with gaps 5
// and 10. The text depends only on the part count and the seed (own random numbers and
// number formatting, no library distribution or locale in the way).

#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace sheet {

// splitmix64: the same sequence on every platform.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next()
    {
        uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    // A whole number of millimetres in [lo, hi].
    double mm(int lo, int hi) { return lo + static_cast<double>(next() % static_cast<uint64_t>(hi - lo + 1)); }
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }

private:
    uint64_t state_;
};

// A vertex and the signed radius of the edge that leaves it (0 straight, > 0 an arc
// running counter-clockwise from the edge's start to its end).
struct Vertex {
    double x, y, r;
};
using Loop = std::vector<Vertex>;

struct Shape {
    std::string name;
    Loop outer;  // counter-clockwise
    std::vector<Loop> holes;  // clockwise
};

constexpr double kPi = 3.14159265358979323846;

// The loop run the other way round: each edge keeps its arc, which then turns the other way.
inline Loop reversed(const Loop& loop)
{
    Loop out;
    const size_t n = loop.size();
    for (size_t k = 0; k < n; ++k) {
        const size_t j = n - 1 - k;
        out.push_back({loop[j].x, loop[j].y, -loop[(j + n - 1) % n].r});
    }
    return out;
}

// Four quarter arcs, counter-clockwise.
inline Loop circle(double cx, double cy, double r)
{
    return {{cx + r, cy, r}, {cx, cy + r, r}, {cx - r, cy, r}, {cx, cy - r, r}};
}

// A counter-clockwise polygon whose corners are rounded with the given radii (0 keeps the
// corner): convex corners get arcs that turn left, concave ones arcs that turn right.
inline Loop rounded(const std::vector<std::pair<double, double>>& polygon, const std::vector<double>& radii)
{
    Loop loop;
    const size_t n = polygon.size();
    for (size_t i = 0; i < n; ++i) {
        const auto [vx, vy] = polygon[i];
        const double r = radii[i];
        if (r == 0.0) {
            loop.push_back({vx, vy, 0.0});
            continue;
        }
        const auto [px, py] = polygon[(i + n - 1) % n];
        const auto [nx, ny] = polygon[(i + 1) % n];
        double ux = vx - px, uy = vy - py, wx = nx - vx, wy = ny - vy;
        const double lu = std::hypot(ux, uy), lw = std::hypot(wx, wy);
        ux /= lu, uy /= lu, wx /= lw, wy /= lw;
        const double turn = ux * wy - uy * wx;
        const double angle = std::acos(std::fmax(-1.0, std::fmin(1.0, -(ux * wx + uy * wy))));
        const double t = r / std::tan(angle / 2.0);
        loop.push_back({vx - ux * t, vy - uy * t, turn > 0 ? r : -r});
        loop.push_back({vx + wx * t, vy + wy * t, 0.0});
    }
    return loop;
}

inline Loop roundedRect(double x, double y, double w, double h, double r)
{
    return rounded({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}, {r, r, r, r});
}

// An obround along x, counter-clockwise: each end is two quarter arcs.
inline Loop obround(double cx, double cy, double length, double width)
{
    const double r = width / 2.0;
    const double a = cx - length / 2.0 + r, b = cx + length / 2.0 - r;
    return {{a, cy - r, 0.0}, {b, cy - r, r}, {b + r, cy, r}, {b, cy + r, 0.0}, {a, cy + r, r}, {a - r, cy, r}};
}

inline std::string format(const char* pattern, double a, double b = 0, double c = 0, double d = 0)
{
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b, c, d);
    return text;
}

inline Shape randomShape(Random& rnd)
{
    Shape s;
    switch (rnd.below(11)) {
    case 0: {  // rectangular plate, sharp or rounded, with corner holes when large enough
        const double w = rnd.mm(60, 700), h = rnd.mm(40, 500), r = rnd.below(2) ? rnd.mm(3, 15) : 0.0;
        s.outer = roundedRect(0, 0, w, h, r);
        const bool holes = w > 120 && h > 80;
        if (holes) {
            for (double x : {25.0, w - 25.0})
                for (double y : {25.0, h - 25.0}) s.holes.push_back(reversed(circle(x, y, 6)));
        }
        s.name = format("plate %gx%g r%g, %g holes", w, h, r, holes ? 4 : 0);
        break;
    }
    case 1: {  // L bracket
        const double a = rnd.mm(150, 600), b = rnd.mm(100, 400);
        const double t1 = rnd.mm(40, static_cast<int>(b / 2)), t2 = rnd.mm(40, static_cast<int>(a / 2));
        const double ri = rnd.mm(5, 35);
        s.outer = rounded({{0, 0}, {a, 0}, {a, t1}, {t2, t1}, {t2, b}, {0, b}}, {3, 3, 3, ri, 3, 3});
        s.name = format("L bracket %gx%g legs %g/%g", a, b, t1, t2) + format(", inner r%g", ri);
        break;
    }
    case 2: {  // U bracket
        const double w = rnd.mm(150, 600), h = rnd.mm(100, 400), t = rnd.mm(30, static_cast<int>(w / 4));
        const double base = rnd.mm(30, static_cast<int>(h / 2));
        s.outer = rounded({{0, 0}, {w, 0}, {w, h}, {w - t, h}, {w - t, base}, {t, base}, {t, h}, {0, h}},
                          {3, 3, 3, 3, 8, 8, 3, 3});
        s.name = format("U bracket %gx%g arms %g base %g", w, h, t, base);
        break;
    }
    case 3: {  // round flange with bore and bolt circle
        const double outer = rnd.mm(80, 250), bore = rnd.mm(20, static_cast<int>(outer / 2));
        const int bolts = 4 + 2 * rnd.below(3);
        s.outer = circle(outer, outer, outer);
        s.holes.push_back(reversed(circle(outer, outer, bore)));
        const double pcd = (outer + bore) / 2.0;
        for (int k = 0; k < bolts; ++k) {
            const double a = kPi / bolts + 2.0 * kPi * k / bolts;
            s.holes.push_back(reversed(circle(outer + pcd * std::cos(a), outer + pcd * std::sin(a), 6)));
        }
        s.name = format("round flange d%g bore d%g, %g holes", 2 * outer, 2 * bore, bolts);
        break;
    }
    case 4: {  // square flange with bore
        const double side = rnd.mm(120, 400), r = rnd.mm(5, 30), bore = rnd.mm(15, static_cast<int>(side / 4));
        s.outer = roundedRect(0, 0, side, side, r);
        s.holes.push_back(reversed(circle(side / 2, side / 2, bore)));
        s.name = format("square flange %g r%g bore d%g", side, r, 2 * bore);
        break;
    }
    case 5: {  // ring gasket
        const double outer = rnd.mm(60, 300), band = rnd.mm(15, static_cast<int>(outer / 2));
        s.outer = circle(outer, outer, outer);
        s.holes.push_back(reversed(circle(outer, outer, outer - band)));
        s.name = format("ring gasket d%g band %g", 2 * outer, band);
        break;
    }
    case 6: {  // frame gasket
        const double w = rnd.mm(170, 700), h = rnd.mm(170, 500), band = rnd.mm(25, 60);
        s.outer = roundedRect(0, 0, w, h, 15);
        s.holes.push_back(reversed(roundedRect(band, band, w - 2 * band, h - 2 * band, 8)));
        s.name = format("frame gasket %gx%g band %g", w, h, band);
        break;
    }
    case 7: {  // disc or washer
        const double r = rnd.mm(15, 120);
        s.outer = circle(r, r, r);
        const bool washer = rnd.below(2) == 1;
        if (washer) s.holes.push_back(reversed(circle(r, r, r / 2)));
        s.name = format(washer ? "disc d%g washer" : "disc d%g", 2 * r);
        break;
    }
    case 8: {  // slotted plate
        const double w = rnd.mm(200, 700), h = rnd.mm(80, 300);
        const int slots = 1 + rnd.below(4);
        const double slotWidth = rnd.mm(8, 16), slotLength = std::fmin(0.7 * w / (slots + 1), 120.0);
        s.outer = roundedRect(0, 0, w, h, 6);
        for (int k = 0; k < slots; ++k)
            s.holes.push_back(reversed(obround(w * (k + 1) / (slots + 1), h / 2, slotLength, slotWidth)));
        s.name = format("slotted plate %gx%g, %g slots w%g", w, h, slots, slotWidth);
        break;
    }
    case 9: {  // gusset
        const double a = rnd.mm(80, 350), b = rnd.mm(80, 350), r = rnd.mm(3, 10);
        s.outer = rounded({{0, 0}, {a, 0}, {0, b}}, {r, r, r});
        s.holes.push_back(reversed(circle(a * 0.25, b * 0.25, 6)));
        s.name = format("gusset %gx%g r%g", a, b, r);
        break;
    }
    default: {  // link plate: an obround with a hole at each end
        const double c = rnd.mm(80, 500), r = rnd.mm(20, 60);
        s.outer = obround(c / 2 + r, r, c + 2 * r, 2 * r);
        for (double x : {r, c + r}) s.holes.push_back(reversed(circle(x, r, r / 2)));
        s.name = format("link plate c%g r%g", c, r);
        break;
    }
    }
    return s;
}

inline std::string number(double v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", v);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

// Element 0, then each loop: its vertices, the closing element, a separator between loops;
// the first element of a loop carries the vertex count plus one.
inline std::string pointLines(const Shape& shape, size_t& count)
{
    struct Row {
        double v, x, y;
    };
    std::vector<Row> rows = {{0, 0, 0}};
    std::vector<const Loop*> loops = {&shape.outer};
    for (const Loop& h : shape.holes) loops.push_back(&h);
    for (size_t n = 0; n < loops.size(); ++n) {
        const Loop& loop = *loops[n];
        if (n > 0) rows.push_back({0, 0, 0});
        for (size_t k = 0; k < loop.size(); ++k) {
            rows.push_back({k == 0 ? static_cast<double>(loop.size() + 1) : loop[k - 1].r, loop[k].x, loop[k].y});
        }
        rows.push_back({loop.back().r, loop[0].x, loop[0].y});
    }
    std::string text;
    for (size_t i = 0; i < rows.size(); ++i) {
        text += std::to_string(i) + ",0,L,0,0," + number(rows[i].v) + "," + number(rows[i].x) + "," +
                number(rows[i].y) + "\r\n";
    }
    count = rows.size();
    return text;
}

// A whole library of `parts` records: types drawn one after another, each in 1 to 8 copies.
inline std::string libraryText(int parts, uint64_t seed)
{
    std::string text = "# synthetic sheet-metal part library made by bench/sheet_library.h\r\n# " +
                       std::to_string(parts) + " parts, seed " + std::to_string(seed) + "\r\n# RN: 4\r\n";
    text += "CONFIGINFO\r\nnestType        =0\r\nbMirror         =1\r\npartToPartGap   =5\r\n"
            "partToMplateGap =10\r\nbPartTurnover   =1\r\nbHolePart       =0\r\nmaxNestPartNum  =" +
            std::to_string(parts) +
            "\r\nminPartGap      =5\r\nmaxPartGap      =5\r\nminMplateGap    =10\r\nmaxMplateGap    =10\r\n"
            "precision_length=0.01\r\nprecision_ang   =0.01\r\nmplateType      =0\r\nfeetLength_0    =0\r\n"
            "feetLength_1    =0\r\nstaPlate_0      =3000\r\nstaPlate_1      =1500\r\nminPlate_0      =3000\r\n"
            "minPlate_1      =1500\r\nmaxPlate_0      =3000\r\nmaxPlate_1      =1500\r\nbAutoResize     =0\r\n_end_\r\n";
    Random rnd(seed);
    int written = 0;
    for (int type = 0; written < parts; ++type) {
        const Shape shape = randomShape(rnd);
        const int copies = std::min(1 + rnd.below(8), parts - written);
        size_t count = 0;
        const std::string points = pointLines(shape, count);
        for (int c = 1; c <= copies; ++c, ++written) {
            text += "PARTINFO\r\nNameID=T" + std::to_string(type) + "_" + std::to_string(c) + "\r\npartName=" +
                    shape.name + " (" + std::to_string(c) + " of " + std::to_string(copies) +
                    ")\r\npartinf=1,0,0\r\npointNum=" + std::to_string(count) + "\r\n" + points + "_end_\r\n";
        }
    }
    return text;
}

}  // namespace sheet
