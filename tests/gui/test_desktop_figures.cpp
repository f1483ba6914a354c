#include <QtTest>
#include <QDockWidget>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <memory>

#include "app/layout_figures.h"
#include "app/scene.h"
#include "key_help.h"
#include "layout_canvas.h"
#include "main_window.h"
#include "nesting/nest_system.h"
#include "packing_kit.h"
#include "report_viewer.h"
#include "scene_painter.h"
#include "status_panel.h"
#include "support/pixel_checks.h"
#include "support/temp_folder.h"
#include "window_support.h"

using namespace orvo;
using orvo::test::colourNear;

using orvo::test::exampleLibrary;
using orvo::test::countColour;
using orvo::test::fileBytes;

namespace {

}  // namespace

// The figures, marks, dock, shortcuts and report window of the desktop program, driven
// on the real main window.
class DesktopFiguresTest : public QObject {
    Q_OBJECT

private:
    test::TempFolder folder_;
    std::unique_ptr<MainWindow> window_;
    std::vector<std::pair<std::string, std::string>> messages_;
    std::vector<FileDialogKind> asked_;
    std::map<FileDialogKind, QString> files_;

    QString filePath(const QString& name) const
    {
        return QString::fromStdString(folder_.path()) + '/' + name;
    }
    MainWindow& w() { return *window_; }
    NestSystem& ns() { return *w().nestSystem(); }
    StatusPanel& status() { return *w().statusPanel(); }
    QPoint pixel(const Point& p)
    {
        const PixelPoint q = w().view().worldToScreen(p);
        return {q.x, q.y};
    }
    void click(const QString& caption)
    {
        QPushButton* b = w().packingKit()->button(caption);
        QVERIFY2(b != nullptr, qPrintable(caption));
        b->click();
        // Layout methods run in a worker: wait for the end of one the click started.
        QTRY_VERIFY_WITH_TIMEOUT(!w().layoutRunning(), 120000);
    }
    void clickAt(QPoint p) { QTest::mouseClick(w().canvas(), Qt::LeftButton, {}, p); }
    bool openAndLayOut()
    {
        if (!w().openLibrary(exampleLibrary())) return false;
        click(QStringLiteral("Layout All\nHAPE"));
        return !ns().plates.empty();
    }
    size_t indexOf(const Part& part)
    {
        size_t i = 0;
        for (const Part& p : ns().nestParts) {
            if (&p == &part) return i;
            ++i;
        }
        return i;
    }
    QPoint drawnVertex(const Part& part)
    {
        return pixel(placedTrueShape(*ns().findTrueShape(part.partId), part).outer.vertex(0));
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QDir::setCurrent(QString::fromStdString(folder_.path()));
    }

    void init()
    {
        messages_.clear();
        asked_.clear();
        files_.clear();
        window_ = std::make_unique<MainWindow>();
        w().platform().setMessageHook([this](const std::string& t, const std::string& c) {
            messages_.emplace_back(t, c);
        });
        w().setFileChooser([this](FileDialogKind kind) {
            asked_.push_back(kind);
            return files_[kind];
        });
        w().show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() { window_.reset(); }

    void cleanupTestCase() { QDir::setCurrent(QDir::tempPath()); }

    void plateCaptionsAndStatusFiguresOfAKnownLibrary()
    {
        QVERIFY(!w().windowTitle().contains(QStringLiteral(".preSrc")));
        QCOMPARE(status().libraryText(), QStringLiteral("未打开零件库"));
        QVERIFY(openAndLayOut());
        QCOMPARE(w().windowTitle(), QStringLiteral("brackets.preSrc[*] - OrvoPacking"));
        w().refreshStatus();
        QCOMPARE(status().libraryText(), QStringLiteral("零件库: brackets.preSrc"));
        QCOMPARE(status().selectionText(), QStringLiteral("未选中"));

        // Every part is on a plate: the plates hold the whole true area between them, and
        // the active plate's figures are in the status bar.
        const std::vector<PlateFigures> figures = plateFigures(ns());
        QCOMPARE(figures.size(), ns().plates.size());
        double placed = 0.0;
        double library = 0.0;
        for (const PlateFigures& f : figures) placed += f.partArea;
        for (const Part& s : ns().trueShapes) library += s.netArea;
        QVERIFY(std::abs(placed - library) < 1e-6 * library);
        const PlateFigures active = activePlateFigures(ns());
        QVERIFY(active.utilisation > 1.0 && active.utilisation < 100.0);
        QCOMPARE(status().plateText(), QStringLiteral("当前母板 %1: %2 个零件, 利用率 %3%")
                                           .arg(active.plateId)
                                           .arg(active.partCount)
                                           .arg(active.utilisation, 0, 'f', 1));

        // Each plate carries its caption above its top-left corner.
        QCOMPARE(plateCaption({2, 5, 100.0, 71.26}), QStringLiteral("母板 2  利用率 71.3%"));
        const QImage image = w().renderScene();
        for (const Plate& plate : ns().plates) {
            const QPoint corner = pixel(Point(plate.outerBox.min_X, plate.outerBox.max_Y));
            // Above the corner, or just below it for a plate at the top of the view.
            const QRect above(corner.x(), corner.y() - 40, 120, 60);
            int n = 0;
            for (int y = above.top(); y <= above.bottom(); ++y) {
                for (int x = above.left(); x <= above.right(); ++x) {
                    // Text is smoothed: its pixels come near the caption colour.
                    if (!image.rect().contains(x, y)) continue;
                    const QColor c = image.pixelColor(x, y);
                    const QColor& t = scene::kPlateCaption;
                    n += std::abs(c.red() - t.red()) + std::abs(c.green() - t.green()) +
                             std::abs(c.blue() - t.blue()) < 60;
                }
            }
            QVERIFY2(n > 20, qPrintable(QStringLiteral("plate %1").arg(plate.id)));
        }

        // The mode and the selection follow the keys and clicks.
        QTest::keyClick(w().canvas(), Qt::Key_M);
        w().refreshStatus();
        QCOMPARE(status().modeText(), QStringLiteral("模式: 移动零件 (M)"));
        Part& part = ns().nestParts.front();
        part.selected = true;
        w().refreshStatus();
        const SelectionFigures s = selectionFigures(ns());
        QVERIFY(status().selectionText().startsWith(
            QStringLiteral("选中零件 1: %1 (").arg(QString::fromStdString(s.names.at(0)))));
        QVERIFY(status().selectionText().endsWith(
            QStringLiteral("%1 x %2 mm)").arg(s.singleLength, 0, 'f', 1).arg(s.singleWidth, 0, 'f', 1)));
        QTest::keyClick(w().canvas(), Qt::Key_A, Qt::ShiftModifier);
        w().refreshStatus();
        QVERIFY(status().selectionText().startsWith(
            QStringLiteral("选中零件 %1: ").arg(ns().nestParts.size())));
        QVERIFY(status().selectionText().contains(QStringLiteral("...")));
    }

    // A part moved over a neighbour is outlined while the user edits, and the outline
    // goes when the part moves away.
    void aPartMovedOverAnotherIsMarked()
    {
        QVERIFY(openAndLayOut());
        QImage image = w().renderScene();
        QCOMPARE(w().conflicts().conflictCount(), 0);  // the layout methods leave none
        QCOMPARE(countColour(image, scene::kConflict), 0);

        const Plate& plate = *ns().activePlate;
        Part* a = nullptr;
        Part* b = nullptr;
        for (Part& p : ns().nestParts) {
            if (p.plateId != plate.id) continue;
            (a == nullptr ? a : b) = &p;
            if (b != nullptr) break;
        }
        QVERIFY(a != nullptr && b != nullptr);
        w().view().setWorldBox(plate.outerBox);
        const Point from = a->centroid;
        const Point to = b->centroid;

        click(QStringLiteral("Select None"));
        a->selected = true;
        click(QStringLiteral("Move Part(s)"));
        clickAt(pixel(from));
        clickAt(pixel(to));
        QCOMPARE(a->plateId, plate.id);
        image = w().renderScene();
        QVERIFY(w().conflicts().conflicted(indexOf(*a)));
        QVERIFY(w().conflicts().conflicted(indexOf(*b)));
        QVERIFY(colourNear(image, drawnVertex(*b), scene::kConflict, 3));
        QVERIFY(countColour(image, scene::kConflict) > 20);
        w().refreshStatus();
        QVERIFY(status().plateText().contains(QStringLiteral("冲突零件")));

        clickAt(pixel(to));
        clickAt(pixel(from));
        image = w().renderScene();
        QCOMPARE(w().conflicts().conflictCount(), 0);
        QCOMPARE(countColour(image, scene::kConflict), 0);
    }

    void theKitDocksAndTheShortcutsTriggerTheirCommands()
    {
        QVERIFY(openAndLayOut());
        PackingKit* kit = w().packingKit();
        QDockWidget* dock = w().kitDock();
        QVERIFY(dock->isVisible());
        QCOMPARE(dock->widget(), kit);
        QCOMPARE(w().dockWidgetArea(dock), Qt::RightDockWidgetArea);
        QCOMPARE(dock->windowTitle(), QStringLiteral("Packing Kit 排样工具箱"));
        QVERIFY(dock->features().testFlag(QDockWidget::DockWidgetFloatable));
        // Floating, it is a window of its own and its buttons still work.
        dock->setFloating(true);
        QVERIFY(dock->isWindow());
        click(QStringLiteral("Select All"));
        QVERIFY(ns().nestParts.back().selected);
        dock->setFloating(false);

        // Every button names its key; after a click the drawing has the keyboard.
        for (QPushButton* b : kit->findChildren<QPushButton*>()) {
            QVERIFY2(b->toolTip().contains(QStringLiteral("按键: ")), qPrintable(b->text()));
        }
        QVERIFY(kit->button(QStringLiteral("Pan"))->toolTip().endsWith(QStringLiteral("按键: P")));
        QVERIFY(kit->button(QStringLiteral("Left Contact"))->toolTip().endsWith(QStringLiteral("←")));
        QVERIFY(kit->button(QStringLiteral("Packing Report"))->toolTip().endsWith(QStringLiteral("E")));
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        kit->lengthEdit()->setFocus();
        click(QStringLiteral("Export\nAll Plates"));
        QCOMPARE(QApplication::focusWidget(), w().canvas());
        click(QStringLiteral("Pan"));  // the mode shows at once, before any paint
        QCOMPARE(status().modeText(), QStringLiteral("模式: 平移 (P)"));

        // Ctrl+O asks for a library (cancelled here), Ctrl+S saves the layout, F1 shows
        // the keys, Ctrl+Q closes the window.
        NestSystem* before = w().nestSystem();
        QTest::keyClick(w().canvas(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(asked_, std::vector<FileDialogKind>{FileDialogKind::PartLibrary});
        QCOMPARE(w().nestSystem(), before);
        QCOMPARE(w().packingKit(), nullptr);
        w().commandPackingKit();
        files_[FileDialogKind::PackingInfoExport] = filePath(QStringLiteral("saved.txt"));
        QTest::keyClick(w().canvas(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(asked_.back(), FileDialogKind::PackingInfoExport);
        QVERIFY(QFile::exists(filePath(QStringLiteral("saved.txt"))));
        QCOMPARE(w().interaction().mode(), Mode::Pan);  // S was not taken as a key
        QTest::keyClick(w().canvas(), Qt::Key_F1);
        QVERIFY(w().keyHelp() != nullptr && w().keyHelp()->isVisible());
        QVERIFY(keyHelpText().contains(QStringLiteral("Shift+A")));
        QVERIFY(keyHelpText().contains(QStringLiteral("Ctrl+Q")));
        QTest::keyClick(w().canvas(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!w().isVisible());
    }

    void recentLibrariesReopenAndExitIsInTheFileMenu()
    {
        QVERIFY(w().openLibrary(exampleLibrary()));
        const QString absolute = QFileInfo(exampleLibrary()).absoluteFilePath();
        QCOMPARE(w().recentFiles().value(0), absolute);
        w().openLibrary(exampleLibrary());
        QCOMPARE(w().recentFiles().count(absolute), 1);  // once, however often opened

        QMenu* file = w().menuBar()->actions().value(0)->menu();
        QMenu* recent = nullptr;
        QAction* exit = nullptr;
        for (QAction* a : file->actions()) {
            if (a->menu() != nullptr) recent = a->menu();
            if (a->text() == QStringLiteral("退出(&X)")) exit = a;
        }
        QVERIFY(recent != nullptr && exit != nullptr);
        QCOMPARE(exit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        QVERIFY(recent->actions().value(0)->text().endsWith(QStringLiteral("brackets.preSrc")));
        NestSystem* before = w().nestSystem();
        recent->actions().value(0)->trigger();
        QVERIFY(w().nestSystem() != before);
        QCOMPARE(w().libraryPath(), absolute);
        exit->trigger();
        QVERIFY(!w().isVisible());
    }

    void theReportOpensInItsWindowAndEveryExportSaysWhatItWrote()
    {
        QVERIFY(openAndLayOut());
        const QString folder = QDir(QString::fromStdString(folder_.path())).absolutePath();
        click(QStringLiteral("Export\nAll Plates"));
        QCOMPARE(status().lastNotice(),
                 QStringLiteral("已写入 AllPlts.dxf (目录 %1)").arg(folder));
        ns().plates.front().selected = true;
        ns().plates.back().selected = true;
        click(QStringLiteral("Export\nPicked Plate(s)"));
        QCOMPARE(status().lastNotice(), QStringLiteral("已写入 PltID=%1.dxf, PltID=%2.dxf (目录 %3)")
                                            .arg(ns().plates.front().id)
                                            .arg(ns().plates.back().id)
                                            .arg(folder));
        messages_.clear();
        w().commandExportParts();
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(QString::fromStdString(messages_[0].first),
                 QStringLiteral("零件图已生成: %1 个文件, 目录 %2").arg(ns().trueShapes.size()).arg(folder));
        QCOMPARE(messages_[0].second, std::string(kCaptionNotice));
        files_[FileDialogKind::PackingInfoExport] = filePath(QStringLiteral("layout.txt"));
        click(QStringLiteral("Export PckInfo"));
        QCOMPARE(QString::fromStdString(messages_.back().first),
                 QStringLiteral("排样信息文件\"%1\"已保存").arg(folder + QStringLiteral("/layout.txt")));

        // The report of a layout without conflict: its window shows the GBK file decoded.
        messages_.clear();
        click(QStringLiteral("Packing Report"));
        QVERIFY(messages_.empty());
        ReportViewer* viewer = w().reportViewer();
        QVERIFY(viewer != nullptr && viewer->isVisible());
        const QString report = folder + QStringLiteral("/Report.txt");
        QCOMPARE(viewer->path(), report);
        QVERIFY(viewer->text().startsWith(QStringLiteral("Packed length:")));
        QVERIFY(viewer->text().contains(QStringLiteral("已排样零件数量=")));
        QVERIFY(!viewer->text().contains(QLatin1Char('\r')));
        QVERIFY(fileBytes(report).contains(QByteArray("\xD2\xD1\xC5\xC5\xD1\xF9", 6)));  // 已排样 in GBK
        QCOMPARE(status().lastNotice(), QStringLiteral("排样报告已写入 %1; 当前母板无冲突").arg(report));

        // Save As copies the file's bytes.
        const QString copy = filePath(QStringLiteral("copy of report.txt"));
        viewer->setSaveChooser([&](const QString& suggested) {
            return suggested == report ? copy : QString();
        });
        viewer->saveButton()->click();
        QCOMPARE(fileBytes(copy), fileBytes(report));
        QVERIFY(status().lastNotice().endsWith(QStringLiteral("copy of report.txt")));

        // E with a conflict: the same window, and the notice names the marked parts.
        Part* a = nullptr;
        for (Part& p : ns().nestParts) {
            if (p.plateId == ns().activePlate->id) a = &p;
        }
        a->translatePart(ns().activePlate->outerBox.max_X - a->box.min_X - 1, 0);
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        w().canvas()->setFocus();
        QTest::keyClick(w().canvas(), Qt::Key_E);
        QCOMPARE(w().reportViewer(), viewer);
        QCOMPARE(QApplication::focusWidget(), w().canvas());  // the arrows still push
        QVERIFY(status().lastNotice().endsWith(QStringLiteral("1 个冲突零件已选中")));
    }
};

QTEST_MAIN(DesktopFiguresTest)
#include "test_desktop_figures.moc"
