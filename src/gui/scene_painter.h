#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <vector>

#include "app/layout_figures.h"

class QPainter;

namespace orvo {

class Contour;
class Interaction;
class NestSystem;
class Part;
class ViewTransform;

// The view settings of the View menu.
struct SceneOptions {
    int background = 0;  // 0 black, 1 grey
    bool showPackingPoints = true;
    bool showOffsetParts = false;
};

// Colours of the drawing.
namespace scene {
inline const QColor kBlack{0, 0, 0};
inline const QColor kGrey{128, 128, 128};
inline const QColor kPlate{0, 0, 255};
inline const QColor kSelected{255, 0, 0};
inline const QColor kActivePlate{255, 128, 0};
inline const QColor kUnplaced{128, 0, 128};
inline const QColor kMirrored{255, 255, 0};
inline const QColor kPlaced{0, 255, 0};
inline const QColor kPackingPoint{0, 0, 255};
inline const QColor kRotationCross{255, 0, 0};
inline const QColor kRubberBand{255, 0, 255};
inline const QColor kZoomWindow{255, 255, 255};
inline const QColor kPlateCaption{160, 200, 255};
inline const QColor kConflict{0, 255, 255};
}  // namespace scene

// What the window adds to the drawing while the user edits: each plate's number and
// utilisation above its top-left corner, and a wide outline under every part that
// overlaps another part or leaves its plate's inner box.
struct SceneMarks {
    std::vector<PlateFigures> plates;          // in plates order
    const std::vector<char>* conflicts = nullptr;  // by position in nestParts
};

// The caption of a plate: its number and its utilisation with one decimal.
QString plateCaption(const PlateFigures& figures);

// The closed chain of a contour, every vertex joined to the next and the last to the
// first, with the painter's current pen.
void drawContour(QPainter& painter, const ViewTransform& view, const Contour& contour);
// Outer contour and holes with the part's pen (selected, on no plate, turned over, placed).
void drawPart(QPainter& painter, const ViewTransform& view, const Part& part);

// The whole scene into an image of the given size: background, plates, active plate
// marker, parts in their true shapes, offset outlines and free packing points when
// shown, and the marks of the current gesture. ns may be null (nothing loaded). With
// marks, the plate captions and the conflict outlines as well.
QImage renderScene(QSize size, const NestSystem* ns, const ViewTransform& view,
                   const Interaction& interaction, const SceneOptions& options,
                   const SceneMarks* marks = nullptr);

}  // namespace orvo
