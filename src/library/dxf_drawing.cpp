#include "library/dxf_drawing.h"

#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <cmath>
#include <exception>
#include <initializer_list>
#include <memory>
#include <sstream>

namespace orvo {

namespace {

// Drawing coordinates beyond this (in any unit) are not a part drawing but a broken file.
constexpr double kMaxCoordinate = 1e9;

bool sane(std::initializer_list<double> values)
{
    for (double v : values) {
        if (!std::isfinite(v) || std::fabs(v) > kMaxCoordinate) return false;
    }
    return true;
}

// Collects the entities that the DXF library reports into blocks and model space.
class DrawingCollector : public DL_CreationAdapter {
public:
    explicit DrawingCollector(DxfDrawing& drawing) : drawing_(drawing), target_(&drawing.modelSpace) {}

    void setVariableInt(const std::string& key, int value, int) override
    {
        if (key == "$INSUNITS") drawing_.insUnits = value;
    }

    void addBlock(const DL_BlockData& data) override
    {
        flushPending();
        DxfBlock& block = drawing_.blocks[data.name];
        block.entities.clear();
        block.base = sane({data.bpx, data.bpy}) ? Point(data.bpx, data.bpy) : Point();
        // Paper space holds title blocks and views, never parts.
        target_ = data.name.rfind("*Paper_Space", 0) == 0 ? &discarded_ : &block.entities;
    }
    void endBlock() override
    {
        flushPending();
        target_ = &drawing_.modelSpace;
    }

    void addLine(const DL_LineData& d) override
    {
        DxfEntity e = entity(DxfEntity::Kind::Line);
        e.a = Point(d.x1, d.y1);
        e.b = Point(d.x2, d.y2);
        keep(std::move(e), sane({d.x1, d.y1, d.x2, d.y2}));
    }
    void addArc(const DL_ArcData& d) override
    {
        DxfEntity e = entity(DxfEntity::Kind::Arc);
        e.a = Point(d.cx, d.cy);
        e.radius = d.radius;
        e.start = d.angle1;
        e.end = d.angle2;
        keep(std::move(e), sane({d.cx, d.cy, d.radius, d.angle1, d.angle2}) && d.radius > 0.0);
    }
    void addCircle(const DL_CircleData& d) override
    {
        DxfEntity e = entity(DxfEntity::Kind::Circle);
        e.a = Point(d.cx, d.cy);
        e.radius = d.radius;
        keep(std::move(e), sane({d.cx, d.cy, d.radius}) && d.radius > 0.0);
    }
    void addEllipse(const DL_EllipseData& d) override
    {
        DxfEntity e = entity(DxfEntity::Kind::Ellipse);
        e.a = Point(d.cx, d.cy);
        e.b = Point(d.mx, d.my);
        e.ratio = d.ratio;
        e.start = d.angle1;
        e.end = d.angle2;
        keep(std::move(e), sane({d.cx, d.cy, d.mx, d.my, d.ratio, d.angle1, d.angle2}) &&
                               d.ratio > 0.0 && d.ratio <= 1.0 + 1e-9);
    }
    void addInsert(const DL_InsertData& d) override
    {
        DxfEntity e = entity(DxfEntity::Kind::Insert);
        e.block = d.name;
        e.a = Point(d.ipx, d.ipy);
        e.sx = d.sx;
        e.sy = d.sy;
        e.rotation = d.angle;
        e.columns = d.cols;
        e.rows = d.rows;
        e.columnSpacing = d.colSp;
        e.rowSpacing = d.rowSp;
        keep(std::move(e), sane({d.ipx, d.ipy, d.sx, d.sy, d.angle, d.colSp, d.rowSp}));
    }

    void addPolyline(const DL_PolylineData& d) override
    {
        flushPending();
        // 3D polylines and meshes (flags 8, 16, 64) do not bound a flat part.
        if ((d.flags & (8 | 16 | 64)) != 0) return;
        pending_ = std::make_unique<DxfEntity>(entity(DxfEntity::Kind::Polyline));
        pending_->closed = (d.flags & 1) != 0;
    }
    void addVertex(const DL_VertexData& d) override
    {
        if (pending_ == nullptr || pending_->kind != DxfEntity::Kind::Polyline) return;
        pendingSane_ = pendingSane_ && sane({d.x, d.y, d.bulge});
        pending_->vertices.push_back({d.x, d.y, d.bulge});
    }
    void addSpline(const DL_SplineData& d) override
    {
        flushPending();
        pending_ = std::make_unique<DxfEntity>(entity(DxfEntity::Kind::Spline));
        pending_->degree = static_cast<int>(std::min(d.degree, 100u));
        pending_->closed = (d.flags & 1) != 0;
    }
    void addControlPoint(const DL_ControlPointData& d) override
    {
        if (pending_ == nullptr || pending_->kind != DxfEntity::Kind::Spline) return;
        pendingSane_ = pendingSane_ && sane({d.x, d.y, d.w}) && d.w > 0.0;
        pending_->vertices.push_back({d.x, d.y, d.w});
    }
    void addFitPoint(const DL_FitPointData& d) override
    {
        if (pending_ == nullptr || pending_->kind != DxfEntity::Kind::Spline) return;
        pendingSane_ = pendingSane_ && sane({d.x, d.y});
        pending_->fitPoints.emplace_back(d.x, d.y);
    }
    void addKnot(const DL_KnotData& d) override
    {
        if (pending_ == nullptr || pending_->kind != DxfEntity::Kind::Spline) return;
        pendingSane_ = pendingSane_ && std::isfinite(d.k);
        pending_->knots.push_back(d.k);
    }
    void endEntity() override { flushPending(); }
    void endSequence() override { flushPending(); }

    void finish() { flushPending(); }

private:
    // A new entity ends a polyline or spline still open (one without its end marker).
    DxfEntity entity(DxfEntity::Kind kind)
    {
        flushPending();
        DxfEntity e;
        e.kind = kind;
        const DL_Attributes attributes = getAttributes();
        e.layer = attributes.getLayer();
        paperSpace_ = attributes.isInPaperSpace();
        if (const DL_Extrusion* extrusion = getExtrusion()) {
            const double* n = extrusion->getDirection();
            if (sane({n[0], n[1], n[2]}) && (n[0] != 0.0 || n[1] != 0.0 || n[2] != 0.0)) {
                for (int i = 0; i < 3; ++i) e.normal[i] = n[i];
            }
        }
        return e;
    }

    void keep(DxfEntity e, bool isSane)
    {
        if (!isSane) {
            ++drawing_.ignoredEntities;
            return;
        }
        if (!paperSpace_) target_->push_back(std::move(e));
    }

    void flushPending()
    {
        if (pending_ == nullptr) return;
        std::unique_ptr<DxfEntity> e = std::move(pending_);
        const bool isSane = pendingSane_;
        pendingSane_ = true;
        if (!isSane) {
            ++drawing_.ignoredEntities;
        } else if (!paperSpace_) {
            target_->push_back(std::move(*e));
        }
    }

    DxfDrawing& drawing_;
    std::vector<DxfEntity>* target_;
    std::vector<DxfEntity> discarded_;
    std::unique_ptr<DxfEntity> pending_;
    bool pendingSane_ = true;
    bool paperSpace_ = false;
};

}  // namespace

bool readDxfDrawing(const std::string& groupText, DxfDrawing& drawing, std::string& fault)
{
    try {
        std::istringstream in(groupText);
        DrawingCollector collector(drawing);
        DL_Dxf dxf;
        dxf.in(in, &collector);
        collector.finish();
        return true;
    } catch (const std::exception& error) {
        fault = std::string("DXF库读取失败: ") + error.what();
        return false;
    }
}

}  // namespace orvo
