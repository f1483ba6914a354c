#pragma once

#include "app/view_transform.h"
#include "nesting/nest_system.h"

namespace orvo {

// The hand-editing operations of the mouse and keyboard. Pixel arguments are converted
// with the view; parts and plates are walked in list order.

// Toggles the selection of the first part under the pixel; true when one was hit.
bool pickPart(NestSystem& ns, const ViewTransform& view, PixelPoint p);
// Dragged leftwards (second corner left of the first): every part touching the
// rectangle; otherwise every part whose box lies inside it. Only adds to the selection;
// true when a part was selected.
bool selectPartsInRect(NestSystem& ns, const ViewTransform& view, PixelPoint p1, PixelPoint p2);
// Toggles the selection of the first plate whose outer box holds the pixel.
bool pickPlate(NestSystem& ns, const ViewTransform& view, PixelPoint p);
// Leftwards: plates meeting the rectangle; rightwards: plates strictly inside it.
bool selectPlatesInRect(NestSystem& ns, const ViewTransform& view, PixelPoint p1, PixelPoint p2);
// Translates every selected part by the world displacement from p0 to p1.
void moveSelectedParts(NestSystem& ns, const ViewTransform& view, PixelPoint p0, PixelPoint p1);
// Translates every selected plate and every part whose plateId is that plate's id.
void moveSelectedPlates(NestSystem& ns, const ViewTransform& view, PixelPoint p0, PixelPoint p1);
// Rotates every selected part about the centre, counter-clockwise for positive angles.
void rotateSelectedParts(NestSystem& ns, const Point& centre, double angle);
// Turns over the first selected part about the horizontal line through its basePt.
void turnOverFirstSelected(NestSystem& ns);

}  // namespace orvo
