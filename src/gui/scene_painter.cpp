#include "scene_painter.h"

#include <QCoreApplication>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <QPolygon>

#include "app/interaction.h"
#include "app/scene.h"
#include "app/view_transform.h"
#include "nesting/nest_system.h"

namespace orvo {

namespace {

QPoint pixel(const ViewTransform& view, double x, double y)
{
    const PixelPoint p = view.worldToScreen(Point(x, y));
    return QPoint(p.x, p.y);
}

QPen pen(const QColor& colour, int width, Qt::PenStyle style = Qt::SolidLine)
{
    QPen p(colour, width, style);
    p.setCapStyle(Qt::FlatCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

void drawBox(QPainter& painter, const ViewTransform& view, const BoundingBox& box)
{
    const QPoint corners[] = {pixel(view, box.min_X, box.min_Y), pixel(view, box.max_X, box.min_Y),
                              pixel(view, box.max_X, box.max_Y), pixel(view, box.min_X, box.max_Y)};
    painter.drawPolygon(corners, 4);
}

void drawPixelRect(QPainter& painter, PixelPoint a, PixelPoint b)
{
    const QPoint corners[] = {{a.x, a.y}, {b.x, a.y}, {b.x, b.y}, {a.x, b.y}};
    painter.drawPolygon(corners, 4);
}

void drawPlates(QPainter& painter, const NestSystem& ns, const ViewTransform& view)
{
    for (const Plate& plate : ns.plates) {
        painter.setPen(plate.selected ? pen(scene::kSelected, 2) : pen(scene::kPlate, 1));
        drawBox(painter, view, plate.outerBox);
        drawBox(painter, view, plate.innerBox);
    }
    if (const Plate* active = ns.activePlate) {
        const BoundingBox& b = active->outerBox;
        const double d = boxHeight(b) / 50;
        painter.setPen(pen(scene::kActivePlate, 3));
        drawBox(painter, view, grown(b, d));
    }
}

void drawPackingPoints(QImage& image, const NestSystem& ns, const ViewTransform& view)
{
    const QRgb blue = scene::kPackingPoint.rgb();
    for (const PackingPoint& point : ns.packingPoints.points) {
        if (point.occupied) continue;
        const PixelPoint p = view.worldToScreen(point.pos);
        if (p.x >= 0 && p.y >= 0 && p.x < image.width() && p.y < image.height()) {
            image.setPixel(p.x, p.y, blue);
        }
    }
}

void drawGestureMarks(QPainter& painter, const ViewTransform& view, const Interaction& interaction)
{
    if (interaction.showsRotationCross()) {
        // Placed from the world centre, so that the cross stays on the point the parts
        // turn about after X or a zoom changed the view.
        const PixelPoint c = view.worldToScreen(interaction.rotationCentre());
        painter.setPen(pen(scene::kRotationCross, 1));
        painter.drawLine(c.x - 5, c.y - 5, c.x + 5, c.y + 5);
        painter.drawLine(c.x - 5, c.y + 5, c.x + 5, c.y - 5);
    }
    const PixelPoint a = interaction.rubberStart();
    const PixelPoint b = interaction.rubberEnd();
    if (interaction.showsRubberBand()) {
        // Dragged leftwards selects what the rectangle touches: drawn dashed.
        painter.setPen(pen(scene::kRubberBand, 1, b.x < a.x ? Qt::DashLine : Qt::SolidLine));
        drawPixelRect(painter, a, b);
    }
    if (interaction.showsZoomWindow()) {
        painter.setPen(pen(scene::kZoomWindow, 1));
        drawPixelRect(painter, a, b);
    }
}

// Above the top-left corner of each plate, clear of the active plate marker.
void drawPlateCaptions(QPainter& painter, const NestSystem& ns, const ViewTransform& view,
                       const std::vector<PlateFigures>& figures, const QColor& background)
{
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(scene::kPlateCaption);
    const int ascent = painter.fontMetrics().ascent();
    auto f = figures.begin();
    for (const Plate& plate : ns.plates) {
        if (f == figures.end()) break;
        const BoundingBox& b = plate.outerBox;
        const QString caption = plateCaption(*f++);
        QPoint at = pixel(view, b.min_X, b.max_Y + boxHeight(b) / 50) + QPoint(0, -5);
        if (at.y() < ascent + 2) {
            // The fitted view leaves little room above the top plate: the caption moves
            // down over the plate's edge, on a patch of background to stay readable.
            at.setY(ascent + 2);
            QRect patch = painter.fontMetrics().boundingRect(caption).translated(at);
            painter.fillRect(patch.adjusted(-2, -1, 2, 1), background);
        }
        painter.drawText(at, caption);
    }
}

}  // namespace

QString plateCaption(const PlateFigures& figures)
{
    return QCoreApplication::translate("ScenePainter", "母板 %1  利用率 %2%")
        .arg(figures.plateId)
        .arg(figures.utilisation, 0, 'f', 1);
}

void drawContour(QPainter& painter, const ViewTransform& view, const Contour& contour)
{
    if (contour.empty()) return;
    QPolygon polygon;
    polygon.reserve(contour.count());
    for (const Point& p : contour.points) polygon.append(pixel(view, p.x, p.y));
    painter.drawPolygon(polygon);
}

void drawPart(QPainter& painter, const ViewTransform& view, const Part& part)
{
    const PenStyle style = partPen(part);
    painter.setPen(pen(QColor(style.r, style.g, style.b), style.width));
    drawContour(painter, view, part.outer);
    for (const Contour& hole : part.holes) drawContour(painter, view, hole);
}

QImage renderScene(QSize size, const NestSystem* ns, const ViewTransform& view,
                   const Interaction& interaction, const SceneOptions& options,
                   const SceneMarks* marks)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(options.background == 1 ? scene::kGrey : scene::kBlack);
    if (ns == nullptr) return image;
    {
        QPainter painter(&image);
        drawPlates(painter, *ns, view);
        const std::vector<char>* conflicts = marks != nullptr ? marks->conflicts : nullptr;
        size_t index = 0;
        forEachPlacedShape(*ns, [&](const Part& shape, const Part& nestPart) {
            if (conflicts != nullptr && index < conflicts->size() && (*conflicts)[index]) {
                // Under the part's own pen, so that selection and turn-over stay visible.
                painter.setPen(pen(scene::kConflict, 5));
                drawContour(painter, view, shape.outer);
                for (const Contour& hole : shape.holes) drawContour(painter, view, hole);
            }
            ++index;
            drawPart(painter, view, shape);
            if (options.showOffsetParts) drawPart(painter, view, nestPart);
        });
        if (marks != nullptr) drawPlateCaptions(painter, *ns, view, marks->plates,
                                              options.background == 1 ? scene::kGrey : scene::kBlack);
    }
    // Single pixels go straight into the image: a fine grid has millions of them.
    if (options.showPackingPoints) drawPackingPoints(image, *ns, view);
    QPainter painter(&image);
    drawGestureMarks(painter, view, interaction);
    return image;
}

}  // namespace orvo
