#include <QtTest>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <memory>

#include "app/scene.h"
#include "layout_canvas.h"
#include "main_window.h"
#include "base/number_text.h"
#include "nesting/nest_system.h"
#include "packing_kit.h"
#include "renew_dialog.h"
#include "scene_painter.h"
#include "support/pixel_checks.h"
#include "support/temp_folder.h"
#include "window_support.h"

using namespace orvo;
using orvo::test::colourNear;

using orvo::test::exampleLibrary;
using orvo::test::countColour;
using orvo::test::menuAction;

namespace {

struct Message {
    std::string text;
    std::string caption;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    // Removed with std::filesystem: the part drawings carry GBK names, which Qt cannot
    // turn into file names of its own.
    test::TempFolder folder_;
    std::unique_ptr<MainWindow> window_;
    std::vector<Message> messages_;
    std::vector<std::string> opened_;
    std::map<FileDialogKind, QString> files_;
    // The questions about unsaved work, and the answer each gets.
    int prompts_ = 0;
    UnsavedChoice answer_ = UnsavedChoice::Discard;

    QString folderPath() const { return QString::fromStdString(folder_.path()); }
    QString filePath(const QString& name) const { return folderPath() + '/' + name; }
    MainWindow& w() { return *window_; }
    NestSystem& ns() { return *w().nestSystem(); }
    LayoutCanvas* canvas() { return w().canvas(); }
    QPoint pixel(const Point& p)
    {
        const PixelPoint q = w().view().worldToScreen(p);
        return {q.x, q.y};
    }
    // Clicks a kit button and, when it started a layout method, waits for its end.
    void click(const QString& caption)
    {
        press(caption);
        waitForRun();
    }
    void press(const QString& caption)
    {
        QPushButton* b = w().packingKit()->button(caption);
        QVERIFY2(b != nullptr, qPrintable(caption));
        b->click();
    }
    void waitForRun() { QTRY_VERIFY_WITH_TIMEOUT(!w().layoutRunning(), 120000); }
    void clickAt(QPoint p) { QTest::mouseClick(canvas(), Qt::LeftButton, {}, p); }
    void moveTo(QPoint p)
    {
        QMouseEvent move(QEvent::MouseMove, p, canvas()->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(canvas(), &move);
    }
    void key(int k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(canvas(), Qt::Key(k), m); }
    bool openAndLayOut()
    {
        if (!w().openLibrary(exampleLibrary())) return false;
        click(QStringLiteral("Layout All\nHAPE"));
        return !ns().plates.empty();
    }
    // The part of the last plate whose box holds no other part, and that plate.
    Part* loneLastPlatePart()
    {
        const int32_t last = ns().plates.back().id;
        for (Part& p : ns().nestParts) {
            if (p.plateId != last) continue;
            bool alone = true;
            for (const Part& q : ns().nestParts) {
                if (&q == &p) continue;
                alone = alone && !(q.box.max_X > p.box.min_X && q.box.min_X < p.box.max_X &&
                                   q.box.max_Y > p.box.min_Y && q.box.min_Y < p.box.max_Y);
            }
            if (alone) return &p;
        }
        return nullptr;
    }
    // The pixel of the first vertex of the part as drawn (its true shape in its pose).
    QPoint drawnVertex(const Part& part)
    {
        for (const Part& shape : ns().trueShapes) {
            if (shape.partId == part.partId) return pixel(placedTrueShape(shape, part).outer.vertex(0));
        }
        return {};
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);  // recent files: not the user's settings
        QDir::setCurrent(folderPath());  // the program writes its files where it runs
    }

    void init()
    {
        messages_.clear();
        opened_.clear();
        files_.clear();
        prompts_ = 0;
        answer_ = UnsavedChoice::Discard;
        window_ = std::make_unique<MainWindow>();
        w().setUnsavedPrompt([this] {
            ++prompts_;
            return answer_;
        });
        w().platform().setMessageHook([this](const std::string& t, const std::string& c) {
            messages_.push_back({t, c});
        });
        w().platform().setViewerHook([this](const std::string& path) { opened_.push_back(path); });
        w().setFileChooser([this](FileDialogKind kind) { return files_[kind]; });
        w().show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() { window_.reset(); }

    void cleanupTestCase() { QDir::setCurrent(QDir::tempPath()); }

    void startsEmptyWithItsMenu()
    {
        QCOMPARE(w().nestSystem(), nullptr);
        QCOMPARE(w().packingKit(), nullptr);
        for (const char* text : {"OpenLibIn&HD", "LayoutIn&Dxf", "ExportParts(*.dxf)", "Packing Kit",
                                 "&Renew_RN_PPD", "&Black Background", "&Gray Background",
                                 "PPT_Visible", "OffsetedPartVisible"}) {
            QVERIFY2(menuAction(w(), QString::fromUtf8(text)) != nullptr, text);
        }
        QVERIFY(menuAction(w(), "&Black Background")->isChecked());
        QVERIFY(!menuAction(w(), "&Gray Background")->isChecked());
        QVERIFY(menuAction(w(), "PPT_Visible")->isChecked());
        QVERIFY(!menuAction(w(), "OffsetedPartVisible")->isChecked());
        const QImage image = w().renderScene();
        QCOMPARE(countColour(image, scene::kBlack), image.width() * image.height());

        // Keys and clicks without a library change nothing and never fail.
        key(Qt::Key_X);
        key(Qt::Key_A, Qt::ShiftModifier);
        key(Qt::Key_S);
        clickAt({100, 100});
        QCOMPARE(w().interaction().mode(), Mode::SelectParts);
        QCOMPARE(w().interaction().clickCount(), 0);

        menuAction(w(), "&Gray Background")->trigger();
        QVERIFY(menuAction(w(), "&Gray Background")->isChecked());
        QVERIFY(!menuAction(w(), "&Black Background")->isChecked());
        QCOMPARE(w().renderScene().pixelColor(5, 5), scene::kGrey);
        menuAction(w(), "PPT_Visible")->trigger();
        QVERIFY(!w().sceneOptions().showPackingPoints);
        menuAction(w(), "OffsetedPartVisible")->trigger();
        QVERIFY(w().sceneOptions().showOffsetParts);
    }

    // The kit can be opened from the menu before any library: then every button must
    // leave the program as it is instead of reaching for a document that is not there.
    void everyKitButtonWithoutALibraryDoesNothing()
    {
        menuAction(w(), "Packing Kit")->trigger();
        PackingKit* kit = w().packingKit();
        QVERIFY(kit != nullptr);
        QVERIFY(kit->lengthEdit()->text().isEmpty());
        kit->lengthEdit()->setText(QStringLiteral("2000"));
        kit->widthEdit()->setText(QStringLiteral("1000"));
        for (QPushButton* b : kit->findChildren<QPushButton*>()) {
            if (b->text() != QStringLiteral("OK") && b->text() != QStringLiteral("Cancel")) b->click();
        }
        QCOMPARE(w().nestSystem(), nullptr);
        QCOMPARE(w().progressBar(), nullptr);
        QVERIFY(messages_.empty());
        QVERIFY(opened_.empty());
        menuAction(w(), "&Renew_RN_PPD")->trigger();
        QVERIFY(w().renewDialog()->rotationNumberEdit()->text().isEmpty());
        w().renewDialog()->button(QStringLiteral("刷新PPD"))->click();
        w().renewDialog()->button(QStringLiteral("确定"))->click();
        QCOMPARE(w().nestSystem(), nullptr);
    }

    // Before the first plate there is no active plate for the per-plate methods.
    void perPlateMethodsBeforeAnyPlateLeaveThePartsAlone()
    {
        QVERIFY(w().openLibrary(exampleLibrary()));
        ns().selectAllParts();
        for (const char* caption : {"HAPE", "MultiSteps", "BoxStacking", "ShapeMatch"}) {
            click(QString::fromUtf8(caption));
        }
        QVERIFY(ns().plates.empty());
        QCOMPARE(ns().unplacedCount(), static_cast<int32_t>(ns().nestParts.size()));
    }

    void openingALibraryShowsTheKit()
    {
        QVERIFY(w().openLibrary(exampleLibrary()));
        PackingKit* kit = w().packingKit();
        QVERIFY(kit != nullptr && kit->isVisible());
        QCOMPARE(kit->windowTitle(), QStringLiteral("Packing Kit 排样工具箱"));
        QCOMPARE(kit->lengthEdit()->text(), QString::fromStdString(formatG(ns().plateLength)));
        QCOMPARE(kit->widthEdit()->text(), QString::fromStdString(formatG(ns().plateWidth)));
        // The view shows the largest part, parked at the origin.
        const BoundingBox box = ns().nestParts.front().box;
        QCOMPARE(w().view().worldBox().max_X, box.max_X);

        // A library that cannot be read leaves the open one in place.
        NestSystem* before = w().nestSystem();
        QVERIFY(!w().openLibrary(filePath("missing.preSrc")));
        QCOMPARE(w().nestSystem(), before);
        QCOMPARE(messages_.back().text, std::string("零件数据文件读取失败!"));
        QCOMPARE(messages_.back().caption, std::string(kCaptionWarning));

        // The menu opens the kit anew; a cancelled file dialog changes nothing.
        menuAction(w(), "Packing Kit")->trigger();
        QVERIFY(w().packingKit() != kit || w().packingKit()->isVisible());
        menuAction(w(), "OpenLibIn&HD")->trigger();
        QCOMPARE(w().nestSystem(), before);
        QCOMPARE(w().packingKit(), nullptr);  // closed before the dialog asks
    }

    void layoutAllShowsItsProgressAndThePlates_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("gravity") << QStringLiteral("Layout All\nHAPE");
        QTest::newRow("multi-step") << QStringLiteral("Layout All\nMultiple Steps");
    }

    void layoutAllShowsItsProgressAndThePlates()
    {
        QFETCH(QString, button);
        QVERIFY(w().openLibrary(exampleLibrary()));
        QStringList texts;
        QList<QRect> geometry;
        connect(&w(), &MainWindow::progressTextChanged, this, [&](const QString& text) {
            texts.append(text);
            if (w().progressBar() && w().progressText()) {
                geometry = {w().progressBar()->geometry(), w().progressText()->geometry()};
                QCOMPARE(w().progressText()->text(), text);
            }
        });
        click(button);
        QVERIFY(texts.size() >= 2);
        QCOMPARE(texts.first(), QStringLiteral("排样中... 0%"));
        QCOMPARE(texts.last(), QStringLiteral("排样中... 100%"));
        QCOMPARE(texts.size(), static_cast<int>(ns().plates.size()) + 1);  // once per plate
        const int cw = canvas()->width();
        const int ch = canvas()->height();
        QCOMPARE(geometry.value(0), QRect(cw / 2 - 210, ch - 50, 420, 30));
        QCOMPARE(geometry.value(1), QRect(cw / 2 - 210, ch - 20, 420, 20));
        QCOMPARE(w().progressBar(), nullptr);  // removed after the run
        QCOMPARE(w().progressText(), nullptr);

        QCOMPARE(ns().unplacedCount(), 0);
        const BoundingBox plates = ns().platesBox();
        QCOMPARE(w().view().worldBox().min_X, plates.min_X);
        const QImage image = w().renderScene();
        QVERIFY(countColour(image, scene::kPlate) > 200);
        QVERIFY(countColour(image, scene::kPlaced) + countColour(image, scene::kMirrored) > 200);
        QVERIFY(countColour(image, scene::kActivePlate) > 50);
        const BoundingBox active = ns().activePlate->outerBox;
        QCOMPARE(w().packingKit()->lengthEdit()->text(),
                 QString::fromStdString(formatG(active.max_X - active.min_X)));
    }

    void handEditingWithMouseAndKeys()
    {
        QVERIFY(openAndLayOut());
        Part* part = loneLastPlatePart();
        QVERIFY(part != nullptr);
        const Plate& plate = ns().plates.back();
        w().view().setWorldBox(plate.outerBox);  // large enough to hit and to see

        // A window selection drawn rightwards round the part takes it alone.
        click(QStringLiteral("Select Part(s)"));
        const BoundingBox b = part->box;
        const double margin = 4 / w().view().scale();  // four pixels
        clickAt(pixel(Point(b.min_X - margin, b.max_Y + margin)));
        moveTo(pixel(Point(b.max_X + margin, b.min_Y - margin)));
        QVERIFY(w().interaction().showsRubberBand());
        clickAt(pixel(Point(b.max_X + margin, b.min_Y - margin)));
        int selected = 0;
        for (const Part& p : ns().nestParts) selected += p.selected;
        QCOMPARE(selected, 1);
        QVERIFY(part->selected);
        QImage image = w().renderScene();
        QVERIFY(colourNear(image, drawnVertex(*part), scene::kSelected));
        QVERIFY(colourNear(image, pixel(Point(plate.outerBox.min_X, plate.outerBox.max_Y - 50)),
                           scene::kPlate));

        // Moved into the free right half of the plate it stays on the plate.
        click(QStringLiteral("Move Part(s)"));
        const double dx = plate.innerBox.max_X - 50 - b.max_X;
        const QPoint from = pixel(Point(b.min_X, b.min_Y));
        const QPoint to = pixel(Point(b.min_X + dx, b.min_Y));
        clickAt(from);
        moveTo((from + to) / 2);
        clickAt(to);
        QVERIFY(std::abs(part->box.min_X - (b.min_X + dx)) < 2 * (1 / w().view().scale()) + 1e-9);
        QCOMPARE(part->plateId, plate.id);

        // Pushed left it comes to rest against a neighbour or the plate edge.
        const double before = part->box.min_X;
        key(Qt::Key_Left);
        QVERIFY(part->box.min_X < before - 1);
        QVERIFY(ns().fitsOnPlateExcept(plate, *part));
        key(Qt::Key_Down);
        QVERIFY(ns().fitsOnPlateExcept(plate, *part));

        // Rotated by a step about a clicked centre, then turned over.
        click(QStringLiteral("Rotate Part(s)"));
        clickAt(pixel(part->centroid));
        const double angle = part->pose.rotationAngle;
        key(Qt::Key_A);
        const double turn = std::abs(part->pose.rotationAngle - angle);
        QVERIFY(std::abs(turn - Interaction::kRotationStep) < 1e-9);
        const bool mirrored = part->pose.mirrored;
        key(Qt::Key_T);
        QCOMPARE(part->pose.mirrored, !mirrored);

        // Unselected, a turned-over part is yellow and a plain placed one green.
        key(Qt::Key_Escape);
        QVERIFY(!part->selected);
        if (!part->pose.mirrored) key(Qt::Key_T);  // nothing selected: nothing turns
        w().view().setWorldBox(part->box);
        image = w().renderScene();
        const QColor expected = part->pose.mirrored ? scene::kMirrored
                                : part->plateId == -1 ? scene::kUnplaced
                                                      : scene::kPlaced;
        QVERIFY(colourNear(image, drawnVertex(*part), expected));

        // The wheel zooms about the cursor in the select modes.
        key(Qt::Key_S);
        const double scale = w().view().scale();
        QWheelEvent wheel(QPointF(100, 100), canvas()->mapToGlobal(QPointF(100, 100)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas(), &wheel);
        QCOMPARE(w().view().scale(), scale * 1.1);
    }

    void reportAndExports()
    {
        QVERIFY(openAndLayOut());
        messages_.clear();
        click(QStringLiteral("Export\nAll Plates"));
        QVERIFY(QFile::exists(filePath("AllPlts.dxf")));
        QCOMPARE(messages_.back().text, std::string("所有母板的排样图\"AllPlts.dxf\"已生成"));
        QCOMPARE(messages_.back().caption, std::string(kCaptionNotice));

        ns().plates.front().selected = true;
        click(QStringLiteral("Export\nPicked Plate(s)"));
        QVERIFY(QFile::exists(filePath(QStringLiteral("PltID=%1.dxf").arg(ns().plates.front().id))));
        QCOMPARE(messages_.back().text, std::string("拾取母板的排样图已生成"));

        click(QStringLiteral("Packing Report"));
        QCOMPARE(opened_.size(), size_t(1));
        QVERIFY(QString::fromStdString(opened_[0]).endsWith(QStringLiteral("Report.txt")));
        QVERIFY(QFile::exists(filePath("Report.txt")));
        key(Qt::Key_E);
        QCOMPARE(opened_.size(), size_t(2));

        files_[FileDialogKind::LayoutDxf] = filePath("chosen.dxf");
        menuAction(w(), "LayoutIn&Dxf")->trigger();
        QFile all(filePath("AllPlts.dxf"));
        QFile chosen(filePath("chosen.dxf"));
        QVERIFY(all.open(QIODevice::ReadOnly) && chosen.open(QIODevice::ReadOnly));
        QCOMPARE(chosen.readAll(), all.readAll());

        // A saved layout comes back after the plates were changed by hand.
        files_[FileDialogKind::PackingInfoExport] = filePath("layout.txt");
        files_[FileDialogKind::PackingInfoImport] = filePath("layout.txt");
        click(QStringLiteral("Export PckInfo"));
        const size_t plates = ns().plates.size();
        w().packingKit()->lengthEdit()->setText(QStringLiteral("500"));
        w().packingKit()->widthEdit()->setText(QStringLiteral("400"));
        click(QStringLiteral("Add"));
        QCOMPARE(ns().plates.size(), plates + 1);
        click(QStringLiteral("Import PckInfo"));
        QCOMPARE(prompts_, 1);  // the added plate is work the import would replace
        QCOMPARE(ns().plates.size(), plates);
        QCOMPARE(ns().unplacedCount(), 0);

        menuAction(w(), "ExportParts(*.dxf)")->trigger();
        QVERIFY(!QDir(folderPath()).entryList({QStringLiteral("*.dxf")}).isEmpty());
    }

    void plateCommandsOfTheKit()
    {
        QVERIFY(w().openLibrary(exampleLibrary()));
        PackingKit* kit = w().packingKit();
        kit->lengthEdit()->setText(QStringLiteral("2000"));
        kit->widthEdit()->setText(QStringLiteral("1000"));
        click(QStringLiteral("Add"));
        QCOMPARE(ns().plates.size(), size_t(1));
        QCOMPARE(ns().plates.front().id, 0);
        QCOMPARE(ns().activePlate, &ns().plates.front());
        QCOMPARE(w().view().worldBox().max_X, ns().plates.front().outerBox.max_X);
        click(QStringLiteral("Add"));
        Plate& second = ns().plates.back();
        QCOMPARE(ns().activePlate, &second);

        // Nothing selected: Activate keeps the active plate and clears every selection,
        // Change changes nothing.
        ns().nestParts.front().selected = true;
        click(QStringLiteral("Activate Plt"));
        QCOMPARE(ns().activePlate, &second);
        QVERIFY(!ns().nestParts.front().selected);
        kit->lengthEdit()->setText(QStringLiteral("700"));
        click(QStringLiteral("Change"));
        QCOMPARE(ns().plates.front().outerBox.max_X - ns().plates.front().outerBox.min_X, 2000.0);

        ns().plates.front().selected = true;
        click(QStringLiteral("Change"));
        QCOMPARE(ns().plates.front().outerBox.max_X - ns().plates.front().outerBox.min_X, 700.0);
        QCOMPARE(ns().activePlate, &ns().plates.front());
        ns().plates.front().selected = true;
        click(QStringLiteral("Activate Plt"));
        QCOMPARE(kit->lengthEdit()->text(), QStringLiteral("700"));
        QCOMPARE(kit->widthEdit()->text(), QStringLiteral("1000"));

        // A size beyond the bounds is named and refused: no plate is added or changed.
        messages_.clear();
        const size_t plates = ns().plates.size();
        kit->lengthEdit()->setText(QStringLiteral("1e20"));
        click(QStringLiteral("Add"));
        ns().plates.front().selected = true;
        click(QStringLiteral("Change"));
        QCOMPARE(ns().plates.size(), plates);
        QCOMPARE(ns().plates.front().outerBox.max_X - ns().plates.front().outerBox.min_X, 700.0);
        QCOMPARE(messages_.size(), size_t(2));
        QCOMPARE(messages_.back().text,
                 std::string("板材尺寸错误! 板材长度 1e+20 须在 0.001 到 1000000 mm 之间"));
        ns().plates.front().selected = false;

        // The mode buttons, and "HAPE" on the active plate with a selected part.
        click(QStringLiteral("Select Plt(s)"));
        QCOMPARE(w().interaction().mode(), Mode::SelectPlates);
        click(QStringLiteral("Zoom"));
        QCOMPARE(w().interaction().mode(), Mode::ZoomWindow);
        click(QStringLiteral("Select All"));
        QCOMPARE(w().interaction().mode(), Mode::SelectParts);
        QVERIFY(ns().nestParts.back().selected);
        click(QStringLiteral("Select None"));
        ns().nestParts.back().selected = true;
        click(QStringLiteral("HAPE"));
        QCOMPARE(ns().nestParts.back().plateId, ns().activePlate->id);
    }

    void renewDialogSetsRotationNumberAndDistance()
    {
        QVERIFY(w().openLibrary(exampleLibrary()));
        menuAction(w(), "&Renew_RN_PPD")->trigger();
        RenewDialog* dialog = w().renewDialog();
        QVERIFY(dialog != nullptr && dialog->isVisible());
        QCOMPARE(dialog->rotationNumberEdit()->text(), QStringLiteral("4"));
        QCOMPARE(dialog->packingPointDistanceEdit()->text(),
                 QString::fromStdString(formatFixed(ns().packingPointDistance, 6)));

        dialog->rotationNumberEdit()->setText(QStringLiteral("8"));
        dialog->button(QStringLiteral("刷新RN"))->click();
        QCOMPARE(ns().rotationNumber, 8);

        ns().addPlate(3000, 1500);
        dialog->packingPointDistanceEdit()->setText(QStringLiteral("100"));
        dialog->button(QStringLiteral("刷新PPD"))->click();
        QCOMPARE(ns().packingPointDistance, 100.0);
        QCOMPARE(ns().packingPoints.columns, 31);
        QCOMPARE(ns().packingPoints.rows, 16);

        dialog->rotationNumberEdit()->setText(QStringLiteral("2"));
        dialog->button(QStringLiteral("取消"))->click();
        QCOMPARE(ns().rotationNumber, 8);
        menuAction(w(), "&Renew_RN_PPD")->trigger();
        w().renewDialog()->rotationNumberEdit()->setText(QStringLiteral("6"));
        w().renewDialog()->packingPointDistanceEdit()->setText(QStringLiteral("50"));
        w().renewDialog()->button(QStringLiteral("确定"))->click();
        QCOMPARE(ns().rotationNumber, 6);
        QCOMPARE(ns().packingPointDistance, 50.0);
        QCOMPARE(ns().packingPoints.columns, 31);  // OK stores; only 刷新PPD regenerates
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
