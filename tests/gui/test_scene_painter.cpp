#include <QtTest>
#include <memory>

#include "app/interaction.h"
#include "app/view_transform.h"
#include "nesting/nest_system.h"
#include "scene_painter.h"
#include "support/nest_session.h"
#include "support/pixel_checks.h"
#include "support/shapes.h"

using namespace orvo;
using orvo::test::colourNear;
using orvo::test::squareOnPlate;

// World 0..100 in a 400 x 400 image: 3.8 px per mm, world (50, 50) at pixel (200, 200).
class ScenePainterTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::NestSession> session_;
    NestSystem* ns_ = nullptr;
    ViewTransform view_;
    std::unique_ptr<Interaction> interaction_;
    SceneOptions options_;

    QPoint px(double x, double y) const
    {
        const PixelPoint p = view_.worldToScreen(Point(x, y));
        return {p.x, p.y};
    }
    QImage render() const { return renderScene({400, 400}, ns_, view_, *interaction_, options_); }
    // Each part is drawn from its true shape; the nesting part is the true shape grown
    // by 2 mm with the same basePt, as the offset leaves it.
    void addPart(int32_t id, double x, double y, int32_t plateId, bool selected, bool mirrored)
    {
        Part shape = squareOnPlate(id, x, y, 10, -1);
        Part nest = squareOnPlate(id, x - 2, y - 2, 14, plateId);
        nest.pose.basePt = shape.pose.basePt;
        nest.selected = selected;
        // Turned over about its middle it covers the same square, with basePt at (x, y + 10).
        if (mirrored) nest.mirrorPart(Point(x, y + 5));
        ns_->trueShapes.push_back(shape);
        ns_->nestParts.push_back(nest);
    }

private slots:
    void init()
    {
        session_ = std::make_unique<test::NestSession>();
        ns_ = &session_->ns;
        view_ = ViewTransform();
        view_.setClientSize(400, 400, {0, 100, 0, 100});
        interaction_ = std::make_unique<Interaction>(view_);
        options_ = SceneOptions();
        Plate plate;
        plate.outerBox = {0, 100, 0, 100};
        plate.innerBox = {10, 90, 10, 90};
        ns_->plates.push_back(plate);
        addPart(1, 20, 20, 0, false, false);  // placed
        addPart(2, 40, 20, 0, true, false);   // selected
        addPart(3, 60, 20, 0, false, true);   // turned over
        addPart(4, 20, 60, -1, false, false); // on no plate
        addPart(5, 40, 60, -1, true, false);  // selected on no plate
    }
    void cleanup() { session_.reset(); }

    void nothingButTheBackgroundWithoutALibrary()
    {
        const QImage image = renderScene({50, 40}, nullptr, view_, *interaction_, options_);
        QCOMPARE(image.size(), QSize(50, 40));
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 50; ++x) QCOMPARE(image.pixelColor(x, y), scene::kBlack);
        }
        options_.background = 1;
        QCOMPARE(render().pixelColor(399, 399), scene::kGrey);
    }

    void partsTakeThePenOfTheirState()
    {
        const QImage image = render();
        const struct {
            double x, y;
            QColor colour;
        } edges[] = {
            {20, 25, scene::kPlaced},  {40, 25, scene::kSelected}, {60, 25, scene::kMirrored},
            {20, 65, scene::kUnplaced}, {40, 65, scene::kSelected},
        };
        for (const auto& e : edges) {
            QVERIFY2(colourNear(image, px(e.x, e.y), e.colour),
                     qPrintable(QString("%1,%2").arg(e.x).arg(e.y)));
        }
        // A selected part is drawn two pixels wide, the others one.
        const QPoint selectedEdge = px(50, 25);
        const QPoint placedEdge = px(30, 25);
        const int selectedWidth = (image.pixelColor(selectedEdge) == scene::kSelected) +
                                  (image.pixelColor(selectedEdge + QPoint(1, 0)) == scene::kSelected) +
                                  (image.pixelColor(selectedEdge - QPoint(1, 0)) == scene::kSelected);
        const int placedWidth = (image.pixelColor(placedEdge) == scene::kPlaced) +
                                (image.pixelColor(placedEdge + QPoint(1, 0)) == scene::kPlaced) +
                                (image.pixelColor(placedEdge - QPoint(1, 0)) == scene::kPlaced);
        QCOMPARE(selectedWidth, 2);
        QCOMPARE(placedWidth, 1);
    }

    void platesAndTheActivePlateMarker()
    {
        QImage image = render();
        QVERIFY(colourNear(image, px(0, 50), scene::kPlate));
        QVERIFY(colourNear(image, px(10, 50), scene::kPlate));  // the inner box
        QVERIFY(!colourNear(image, px(-2, 50), scene::kActivePlate, 2));
        ns_->activePlate = &ns_->plates.front();
        ns_->plates.front().selected = true;
        image = render();
        QVERIFY(colourNear(image, px(-2, 50), scene::kActivePlate));  // 100 / 50 outside
        QVERIFY(colourNear(image, px(0, 50), scene::kSelected));
    }

    void offsetOutlinesOnlyWhenAskedFor()
    {
        QVERIFY(!colourNear(render(), px(18, 25), scene::kPlaced));
        options_.showOffsetParts = true;
        const QImage image = render();
        QVERIFY(colourNear(image, px(18, 25), scene::kPlaced));
        QVERIFY(colourNear(image, px(20, 25), scene::kPlaced));
    }

    void freePackingPointsOnly()
    {
        ns_->packingPoints.columns = 2;
        ns_->packingPoints.rows = 1;
        ns_->packingPoints.points = {{Point(50, 95), false}, {Point(55, 95), true}};
        QImage image = render();
        QCOMPARE(image.pixelColor(px(50, 95)), scene::kPackingPoint);
        QCOMPARE(image.pixelColor(px(55, 95)), scene::kBlack);
        options_.showPackingPoints = false;
        image = render();
        QCOMPARE(image.pixelColor(px(50, 95)), scene::kBlack);
    }

    void rubberBandIsDashedWhenDraggedLeftwards()
    {
        interaction_->setMode(Mode::SelectParts, true);
        interaction_->leftClick(ns_, {300, 300});
        interaction_->mouseMove(ns_, {390, 390});
        const auto bandPixels = [&](const QImage& image, int fromX, int toX) {
            int n = 0;
            for (int x = fromX; x <= toX; ++x) n += image.pixelColor(x, 300) == scene::kRubberBand;
            return n;
        };
        QCOMPARE(bandPixels(render(), 310, 380), 71);  // solid
        interaction_->mouseMove(ns_, {210, 390});
        const int dashed = bandPixels(render(), 220, 290);
        QVERIFY(dashed > 20 && dashed < 65);
        interaction_->leftClick(ns_, {210, 390});  // the gesture ends: no band
        QCOMPARE(bandPixels(render(), 220, 290), 0);
    }

    void zoomWindowAndRotationCross()
    {
        interaction_->setMode(Mode::ZoomWindow, true);
        interaction_->leftClick(ns_, {300, 300});
        interaction_->mouseMove(ns_, {380, 360});
        QImage image = render();
        QVERIFY(colourNear(image, {340, 300}, scene::kZoomWindow, 0));
        QVERIFY(colourNear(image, {380, 330}, scene::kZoomWindow, 0));

        interaction_->setMode(Mode::RotateParts, true);
        interaction_->leftClick(ns_, {330, 120});
        image = render();
        QVERIFY(colourNear(image, {333, 123}, scene::kRotationCross, 0));
        QVERIFY(colourNear(image, {327, 123}, scene::kRotationCross, 0));
        QVERIFY(!colourNear(image, {330, 110}, scene::kRotationCross, 0));
    }
};

QTEST_MAIN(ScenePainterTest)
#include "test_scene_painter.moc"
