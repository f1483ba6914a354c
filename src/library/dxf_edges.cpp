#include "library/dxf_edges.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace orvo {

namespace {

constexpr int kMaxInsertDepth = 16;
constexpr int kMaxArrayCount = 100;  // columns and rows of one insert, each
// Entities visited through inserts, per edge the drawing may make.
constexpr size_t kVisitsPerEdge = 4;
const double kMaxPieceSweep = 150.0 / 180.0 * kPi;
constexpr int kMaxSamplesPerCurve = 20000;
constexpr int kMaxSplineDegree = 12;
constexpr double kMaxMillimetres = 1e10;

// x' = m[0] x + m[1] y + m[4], y' = m[2] x + m[3] y + m[5].
struct Affine {
    double m[6] = {1.0, 0.0, 0.0, 1.0, 0.0, 0.0};

    Point apply(const Point& p) const
    {
        return Point(m[0] * p.x + m[1] * p.y + m[4], m[2] * p.x + m[3] * p.y + m[5]);
    }
    double det() const { return m[0] * m[3] - m[1] * m[2]; }
    // Rotation with a uniform scale, mirrored or not: circles stay circles.
    bool isSimilarity() const
    {
        const double scale = std::max({std::fabs(m[0]), std::fabs(m[1]), std::fabs(m[2]), std::fabs(m[3])});
        const double eps = 1e-9 * scale;
        const bool turn = std::fabs(m[0] - m[3]) <= eps && std::fabs(m[1] + m[2]) <= eps;
        const bool mirror = std::fabs(m[0] + m[3]) <= eps && std::fabs(m[1] - m[2]) <= eps;
        return scale > 0.0 && (turn || mirror);
    }
};

// a after b: first b, then a.
Affine compose(const Affine& a, const Affine& b)
{
    Affine r;
    r.m[0] = a.m[0] * b.m[0] + a.m[1] * b.m[2];
    r.m[1] = a.m[0] * b.m[1] + a.m[1] * b.m[3];
    r.m[2] = a.m[2] * b.m[0] + a.m[3] * b.m[2];
    r.m[3] = a.m[2] * b.m[1] + a.m[3] * b.m[3];
    r.m[4] = a.m[0] * b.m[4] + a.m[1] * b.m[5] + a.m[4];
    r.m[5] = a.m[2] * b.m[4] + a.m[3] * b.m[5] + a.m[5];
    return r;
}

Affine translation(double dx, double dy)
{
    Affine r;
    r.m[4] = dx;
    r.m[5] = dy;
    return r;
}

Affine rotation(double degrees)
{
    const double t = degrees / 180.0 * kPi;
    Affine r;
    r.m[0] = std::cos(t);
    r.m[1] = -std::sin(t);
    r.m[2] = std::sin(t);
    r.m[3] = std::cos(t);
    return r;
}

Affine scaling(double sx, double sy)
{
    Affine r;
    r.m[0] = sx;
    r.m[3] = sy;
    return r;
}

// The object coordinate system of an extrusion direction (DXF's arbitrary axis rule),
// seen from above: (0, 0, -1) mirrors x.
Affine ocs(const double normal[3])
{
    const double len = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
    const double nx = normal[0] / len, ny = normal[1] / len, nz = normal[2] / len;
    double ax, ay, az;
    if (std::fabs(nx) < 1.0 / 64.0 && std::fabs(ny) < 1.0 / 64.0) {
        ax = nz, ay = 0.0, az = -nx;  // world y cross n
    } else {
        ax = -ny, ay = nx, az = 0.0;  // world z cross n
    }
    const double alen = std::sqrt(ax * ax + ay * ay + az * az);
    ax /= alen, ay /= alen, az /= alen;
    const double bx = ny * az - nz * ay, by = nz * ax - nx * az;  // n cross a
    Affine r;
    r.m[0] = ax;
    r.m[1] = bx;
    r.m[2] = ay;
    r.m[3] = by;
    return r;
}

bool sameLayer(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

double pointLineDistance(const Point& p, const Point& a, const Point& b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len = std::hypot(dx, dy);
    if (len == 0.0) return std::hypot(p.x - a.x, p.y - a.y);
    return std::fabs((p.x - a.x) * dy - (p.y - a.y) * dx) / len;
}

// A NURBS curve evaluated with de Boor's algorithm in homogeneous coordinates.
class Nurbs {
public:
    // False when the knots, degree and weights do not make a curve.
    bool set(const DxfEntity& e)
    {
        p_ = e.degree;
        const int n = static_cast<int>(e.vertices.size());
        if (p_ < 1 || p_ > kMaxSplineDegree || n < p_ + 1) return false;
        if (static_cast<int>(e.knots.size()) != n + p_ + 1) return false;
        for (size_t i = 1; i < e.knots.size(); ++i) {
            if (!(e.knots[i] >= e.knots[i - 1])) return false;
        }
        knots_ = e.knots;
        control_ = e.vertices;
        lo_ = knots_[static_cast<size_t>(p_)];
        hi_ = knots_[static_cast<size_t>(n)];
        return hi_ > lo_;
    }
    double low() const { return lo_; }
    double high() const { return hi_; }
    // The distinct knots inside the domain, with its ends.
    std::vector<double> breaks() const
    {
        std::vector<double> b;
        for (double k : knots_) {
            if (k >= lo_ && k <= hi_ && (b.empty() || k > b.back())) b.push_back(k);
        }
        return b;
    }
    Point at(double t) const
    {
        const int n = static_cast<int>(control_.size());
        t = std::clamp(t, lo_, hi_);
        // The span k with knots[k] <= t < knots[k + 1], within [p, n - 1].
        int k = static_cast<int>(std::upper_bound(knots_.begin(), knots_.end(), t) - knots_.begin()) - 1;
        k = std::clamp(k, p_, n - 1);
        double x[kMaxSplineDegree + 1], y[kMaxSplineDegree + 1], w[kMaxSplineDegree + 1];
        for (int j = 0; j <= p_; ++j) {
            const DxfEntity::Vertex& v = control_[static_cast<size_t>(j + k - p_)];
            w[j] = v.bulge;
            x[j] = v.x * v.bulge;
            y[j] = v.y * v.bulge;
        }
        for (int r = 1; r <= p_; ++r) {
            for (int j = p_; j >= r; --j) {
                const double left = knots_[static_cast<size_t>(j + k - p_)];
                const double right = knots_[static_cast<size_t>(j + 1 + k - r)];
                const double a = right > left ? (t - left) / (right - left) : 0.0;
                x[j] = (1.0 - a) * x[j - 1] + a * x[j];
                y[j] = (1.0 - a) * y[j - 1] + a * y[j];
                w[j] = (1.0 - a) * w[j - 1] + a * w[j];
            }
        }
        return w[p_] != 0.0 ? Point(x[p_] / w[p_], y[p_] / w[p_]) : Point(x[p_], y[p_]);
    }

private:
    int p_ = 0;
    std::vector<double> knots_;
    std::vector<DxfEntity::Vertex> control_;
    double lo_ = 0.0, hi_ = 0.0;
};

class EdgeEmitter {
public:
    EdgeEmitter(const DxfDrawing& drawing, const DxfEdgeOptions& options, DxfEdgeSet& out)
        : drawing_(drawing), options_(options), out_(out)
    {
    }

    void emitAll()
    {
        const Affine toMillimetres = scaling(options_.unitScale, options_.unitScale);
        for (const DxfEntity& e : drawing_.modelSpace) {
            if (out_.overBudget) return;
            emitEntity(e, toMillimetres, e.layer, 0);
        }
    }

private:
    void emitEntity(const DxfEntity& e, const Affine& m, const std::string& layer, int depth)
    {
        if (e.kind == DxfEntity::Kind::Insert) {
            emitInsert(e, m, layer, depth);
            return;
        }
        if (!options_.layer.empty() && !sameLayer(layer, options_.layer)) return;
        layer_ = layerIndex(layer);
        ++order_;
        const Affine local = compose(m, ocs(e.normal));
        switch (e.kind) {
        case DxfEntity::Kind::Line:
            addEdge(m.apply(e.a), m.apply(e.b), 0.0);
            break;
        case DxfEntity::Kind::Arc: {
            double sweep = std::fmod(e.end - e.start, 360.0);
            if (sweep <= 0.0) sweep += 360.0;
            emitArc(e.a, e.radius, radians(e.start), radians(sweep), local, nullptr, nullptr);
            break;
        }
        case DxfEntity::Kind::Circle: {
            const Point p(e.a.x + e.radius, e.a.y);
            emitArc(e.a, e.radius, 0.0, 2.0 * kPi, local, &p, &p);
            break;
        }
        case DxfEntity::Kind::Ellipse:
            emitEllipse(e, m);
            break;
        case DxfEntity::Kind::Polyline:
            emitPolyline(e, local);
            break;
        case DxfEntity::Kind::Spline:
            emitSpline(e, m);
            break;
        case DxfEntity::Kind::Insert:
            break;
        }
    }

    void emitInsert(const DxfEntity& e, const Affine& m, const std::string& layer, int depth)
    {
        if (depth >= kMaxInsertDepth) {
            out_.tooDeep = true;
            return;
        }
        const auto found = drawing_.blocks.find(e.block);
        if (found == drawing_.blocks.end()) {
            ++out_.missingBlocks;
            return;
        }
        if (e.sx == 0.0 || e.sy == 0.0) return;
        const DxfBlock& block = found->second;
        const Affine placed = compose(compose(m, ocs(e.normal)),
                                      compose(translation(e.a.x, e.a.y), rotation(e.rotation)));
        const Affine shape = compose(scaling(e.sx, e.sy), translation(-block.base.x, -block.base.y));
        const int columns = std::clamp(e.columns, 1, kMaxArrayCount);
        const int rows = std::clamp(e.rows, 1, kMaxArrayCount);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const Affine cell = compose(compose(placed, translation(c * e.columnSpacing, r * e.rowSpacing)), shape);
                for (const DxfEntity& child : block.entities) {
                    if (out_.overBudget || out_.tooDeep) return;
                    // Inserts of blocks that give no edges (empty, or filtered out by
                    // layer) would otherwise multiply without bound through nested arrays.
                    if (++visits_ > kVisitsPerEdge * options_.maxEdges) {
                        out_.overBudget = true;
                        return;
                    }
                    // Entities on layer 0 take the layer of the insert.
                    emitEntity(child, cell, child.layer == "0" ? layer : child.layer, depth + 1);
                }
            }
        }
    }

    // The arc of centre c and radius r from angle a0 over `sweep` (radians, > 0
    // counter-clockwise) in local coordinates; `from` and `to`, when given, are its exact
    // end points there.
    void emitArc(const Point& c, double r, double a0, double sweep, const Affine& m,
                 const Point* from, const Point* to)
    {
        auto local = [&](double t) { return Point(c.x + r * std::cos(t), c.y + r * std::sin(t)); };
        const Point start = from ? *from : local(a0);
        const Point end = to ? *to : local(a0 + sweep);
        if (m.isSimilarity() && r * std::sqrt(std::fabs(m.det())) > options_.minArcRadius) {
            const double radius = r * std::sqrt(std::fabs(m.det())) * (sweep > 0.0 ? 1.0 : -1.0) *
                                  (m.det() > 0.0 ? 1.0 : -1.0);
            const int pieces = static_cast<int>(std::ceil(std::fabs(sweep) / kMaxPieceSweep));
            Point prev = m.apply(start);
            for (int i = 1; i <= pieces; ++i) {
                const Point next = m.apply(i == pieces ? end : local(a0 + sweep * i / pieces));
                addEdge(prev, next, radius);
                prev = next;
            }
            return;
        }
        emitCurve([&](double t) { return m.apply(t == a0 ? start : t == a0 + sweep ? end : local(t)); },
                  {a0, a0 + sweep}, 8);
    }

    void emitEllipse(const DxfEntity& e, const Affine& m)
    {
        const double len = std::sqrt(e.normal[0] * e.normal[0] + e.normal[1] * e.normal[1] +
                                     e.normal[2] * e.normal[2]);
        const double nz = e.normal[2] / len;
        // The minor axis: ratio times the normal cross the major axis (z = 0), seen from
        // above; a normal of (0, 0, -1) runs the ellipse clockwise.
        const Point major = e.b;
        const Point minor(-nz * major.y * e.ratio, nz * major.x * e.ratio);
        double sweep = std::fmod(e.end - e.start, 2.0 * kPi);
        if (sweep <= 1e-12) sweep += 2.0 * kPi;
        const double t0 = e.start;
        auto at = [&](double t) {
            return m.apply(Point(e.a.x + std::cos(t) * major.x + std::sin(t) * minor.x,
                                 e.a.y + std::cos(t) * major.y + std::sin(t) * minor.y));
        };
        emitCurve(at, {t0, t0 + sweep}, 16);
    }

    void emitPolyline(const DxfEntity& e, const Affine& m)
    {
        const size_t n = e.vertices.size();
        const size_t edges = e.closed ? n : (n == 0 ? 0 : n - 1);
        for (size_t i = 0; i < edges && !out_.overBudget; ++i) {
            const DxfEntity::Vertex& v0 = e.vertices[i];
            const DxfEntity::Vertex& v1 = e.vertices[(i + 1) % n];
            const Point p0(v0.x, v0.y), p1(v1.x, v1.y);
            const double chord = std::hypot(p1.x - p0.x, p1.y - p0.y);
            const double b = std::clamp(v0.bulge, -1e6, 1e6);
            if (chord == 0.0) continue;
            if (std::fabs(b) < 1e-12) {
                addEdge(m.apply(p0), m.apply(p1), 0.0);
                continue;
            }
            // The arc turns 4 atan(bulge), counter-clockwise when the bulge is positive;
            // its centre lies chord (1 - b^2) / (4 b) to the left of the chord's middle.
            const double sweep = 4.0 * std::atan(b);
            const double r = chord / (2.0 * std::fabs(std::sin(sweep / 2.0)));
            const double offset = chord * (1.0 - b * b) / (4.0 * b);
            const Point mid((p0.x + p1.x) / 2.0, (p0.y + p1.y) / 2.0);
            const Point left(-(p1.y - p0.y) / chord, (p1.x - p0.x) / chord);
            const Point c(mid.x + left.x * offset, mid.y + left.y * offset);
            emitArc(c, r, std::atan2(p0.y - c.y, p0.x - c.x), sweep, m, &p0, &p1);
        }
    }

    void emitSpline(const DxfEntity& e, const Affine& m)
    {
        Nurbs curve;
        if (curve.set(e)) {
            emitCurve([&](double t) { return m.apply(curve.at(t)); }, curve.breaks(), 4);
            return;
        }
        if (e.fitPoints.size() >= 2) {
            // A spline given by its fit points only: the fit points joined by chords.
            for (size_t i = 1; i < e.fitPoints.size() && !out_.overBudget; ++i) {
                addEdge(m.apply(e.fitPoints[i - 1]), m.apply(e.fitPoints[i]), 0.0);
            }
            return;
        }
        ++out_.unreadableCurves;
    }

    // Chords of the curve f over the parameters `breaks` (ascending), each interval first
    // cut into `perInterval` pieces, then halved until every chord lies within the tolerance.
    void emitCurve(const std::function<Point(double)>& f, const std::vector<double>& breaks, int perInterval)
    {
        if (breaks.size() < 2) return;
        int samples = 0;
        const int budget = kMaxSamplesPerCurve;
        const double tol = options_.chordTolerance;
        Point prev = f(breaks.front());
        struct Piece {
            double t0, t1;
            Point p1;
            int depth;
        };
        std::vector<Piece> stack;
        for (size_t k = 1; k < breaks.size(); ++k) {
            const double lo = breaks[k - 1], hi = breaks[k];
            for (int i = perInterval; i >= 1; --i) {
                const double t0 = lo + (hi - lo) * (i - 1) / perInterval;
                const double t1 = i == perInterval ? hi : lo + (hi - lo) * i / perInterval;
                stack.push_back({t0, t1, f(t1), 0});
            }
            Point start = prev;
            while (!stack.empty() && !out_.overBudget) {
                Piece piece = stack.back();
                stack.pop_back();
                const double tm = (piece.t0 + piece.t1) / 2.0;
                const Point pm = f(tm);
                const bool fine = piece.depth >= 16 || samples >= budget ||
                                  (pointLineDistance(pm, start, piece.p1) <= tol &&
                                   pointLineDistance(f((piece.t0 + tm) / 2.0), start, piece.p1) <= tol &&
                                   pointLineDistance(f((tm + piece.t1) / 2.0), start, piece.p1) <= tol);
                if (fine) {
                    addEdge(start, piece.p1, 0.0);
                    start = piece.p1;
                    ++samples;
                } else {
                    stack.push_back({tm, piece.t1, piece.p1, piece.depth + 1});
                    stack.push_back({piece.t0, tm, pm, piece.depth + 1});
                }
            }
            prev = start;
        }
    }

    void addEdge(const Point& a, const Point& b, double radius)
    {
        if (a.x == b.x && a.y == b.y) return;
        // Inserts scaled again and again can carry a drawing out of every workshop.
        if (!(std::fabs(a.x) <= kMaxMillimetres && std::fabs(a.y) <= kMaxMillimetres &&
              std::fabs(b.x) <= kMaxMillimetres && std::fabs(b.y) <= kMaxMillimetres &&
              std::fabs(radius) <= kMaxMillimetres)) {
            ++out_.outOfRange;
            return;
        }
        if (out_.edges.size() >= options_.maxEdges) {
            out_.overBudget = true;
            return;
        }
        DxfEdge edge;
        edge.from = a;
        edge.to = b;
        edge.radius = radius;
        edge.layer = layer_;
        edge.order = order_;
        out_.edges.push_back(edge);
    }

    int32_t layerIndex(const std::string& name)
    {
        for (size_t i = 0; i < out_.layers.size(); ++i) {
            if (out_.layers[i] == name) return static_cast<int32_t>(i);
        }
        out_.layers.push_back(name);
        return static_cast<int32_t>(out_.layers.size() - 1);
    }

    static double radians(double degrees) { return degrees / 180.0 * kPi; }

    const DxfDrawing& drawing_;
    const DxfEdgeOptions& options_;
    DxfEdgeSet& out_;
    size_t visits_ = 0;  // entities reached through inserts
    int32_t layer_ = 0;
    int32_t order_ = 0;
};

}  // namespace

DxfEdgeSet drawingEdges(const DxfDrawing& drawing, const DxfEdgeOptions& options)
{
    DxfEdgeSet out;
    EdgeEmitter(drawing, options, out).emitAll();
    return out;
}

double insUnitsScale(int insUnits)
{
    switch (insUnits) {
    case 1: return 25.4;      // inches
    case 2: return 304.8;     // feet
    case 5: return 10.0;      // centimetres
    case 6: return 1000.0;    // metres
    case 8: return 25.4e-6;   // microinches
    case 9: return 0.0254;    // mils
    case 10: return 914.4;    // yards
    case 13: return 1e-3;     // microns
    case 14: return 100.0;    // decimetres
    default: return 1.0;      // millimetres, unitless and the units of no workshop
    }
}

}  // namespace orvo
