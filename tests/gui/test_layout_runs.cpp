// The desktop program's undo and redo, its layout runs in the worker with Cancel and
// Stop, and the questions that keep unsaved work.
#include <QtTest>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "layout_canvas.h"
#include "main_window.h"
#include "nesting/nest_system.h"
#include "packing_kit.h"
#include "support/temp_folder.h"
#include "window_support.h"

using namespace orvo;

using orvo::test::exampleLibrary;
using orvo::test::menuAction;
using orvo::test::fileBytes;

namespace {

void appendBits(QByteArray& bytes, double value)
{
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Every bit of the layout: the plates and their boxes, the active plate, and each part's
// plate, pose and box.
QByteArray layoutBits(const NestSystem& ns)
{
    QByteArray bytes;
    for (const Plate& p : ns.plates) {
        bytes.append(QByteArray::number(p.id)).append(&p == ns.activePlate ? "*" : ":");
        for (double v : {p.outerBox.min_X, p.outerBox.max_X, p.outerBox.min_Y, p.outerBox.max_Y}) {
            appendBits(bytes, v);
        }
    }
    for (const Part& part : ns.nestParts) {
        bytes.append(QByteArray::number(part.partId) + '@' + QByteArray::number(part.plateId));
        bytes.append(part.pose.mirrored ? 'm' : '-');
        for (double v : {part.pose.basePt.x, part.pose.basePt.y, part.pose.rotationAngle,
                         part.box.min_X, part.box.max_Y, part.outer.vertex(0).x}) {
            appendBits(bytes, v);
        }
    }
    return bytes;
}

}  // namespace

class LayoutRunsTest : public QObject {
    Q_OBJECT

private:
    test::TempFolder folder_;
    std::unique_ptr<MainWindow> window_;
    std::vector<std::string> messages_;
    std::map<FileDialogKind, QString> files_;
    int prompts_ = 0;
    UnsavedChoice answer_ = UnsavedChoice::Discard;

    QString filePath(const QString& name) const
    {
        return QString::fromStdString(folder_.path()) + '/' + name;
    }
    MainWindow& w() { return *window_; }
    NestSystem& ns() { return *w().nestSystem(); }
    QPushButton* button(const QString& caption) { return w().packingKit()->button(caption); }
    void waitForRun() { QTRY_VERIFY_WITH_TIMEOUT(!w().layoutRunning(), 120000); }
    void runToEnd(const QString& caption)
    {
        button(caption)->click();
        waitForRun();
    }
    QPoint pixel(const Point& p)
    {
        const PixelPoint q = w().view().worldToScreen(p);
        return {q.x, q.y};
    }
    void key(int k, Qt::KeyboardModifiers m = {})
    {
        QTest::keyClick(w().canvas(), Qt::Key(k), m);
    }

private slots:
    void initTestCase() { QDir::setCurrent(QString::fromStdString(folder_.path())); }
    void cleanupTestCase() { QDir::setCurrent(QDir::tempPath()); }

    void init()
    {
        messages_.clear();
        files_.clear();
        prompts_ = 0;
        answer_ = UnsavedChoice::Discard;
        window_ = std::make_unique<MainWindow>();
        w().platform().setMessageHook(
            [this](const std::string& text, const std::string&) { messages_.push_back(text); });
        w().platform().setViewerHook([](const std::string&) {});
        w().setFileChooser([this](FileDialogKind kind) { return files_[kind]; });
        w().setUnsavedPrompt([this] {
            ++prompts_;
            return answer_;
        });
        w().show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QVERIFY(w().openLibrary(exampleLibrary()));
    }

    void cleanup() { window_.reset(); }

    // Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y, the menu and the kit walk a Layout All, a hand move
    // and a turn-over back and forth, bit for bit.
    void undoAndRedoRestoreEveryLayoutBitForBit()
    {
        QAction* undo = menuAction(w(), QStringLiteral("撤销(&U)"));
        QAction* redo = menuAction(w(), QStringLiteral("重做(&R)"));
        QVERIFY(undo && redo);
        QVERIFY(undo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Z)));
        QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
        QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
        QVERIFY(!undo->isEnabled() && !button(QStringLiteral("撤销"))->isEnabled());

        std::vector<QByteArray> states{layoutBits(ns())};
        runToEnd(QStringLiteral("Layout All\nHAPE"));
        states.push_back(layoutBits(ns()));

        // Drag the last part by mouse (one gesture, many moves: one step).
        Part& part = ns().nestParts.back();
        part.selected = true;
        w().view().setWorldBox(ns().plates.back().outerBox);
        key(Qt::Key_M);
        const QPoint from = pixel(part.centroid);
        QTest::mouseClick(w().canvas(), Qt::LeftButton, {}, from);
        for (int i = 1; i <= 3; ++i) {
            const QPoint to = from + QPoint(10 * i, 5 * i);
            QMouseEvent move(QEvent::MouseMove, to, w().canvas()->mapToGlobal(to), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(w().canvas(), &move);
        }
        QTest::mouseClick(w().canvas(), Qt::LeftButton, {}, from + QPoint(40, 20));
        states.push_back(layoutBits(ns()));
        QVERIFY(states[2] != states[1]);
        key(Qt::Key_T);
        states.push_back(layoutBits(ns()));
        QVERIFY(states[3] != states[2]);
        key(Qt::Key_Escape);  // a selection alone is no step
        QCOMPARE(w().history().undoSteps(), size_t(3));

        QTest::keyClick(&w(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(layoutBits(ns()), states[2]);
        undo->trigger();
        QCOMPARE(layoutBits(ns()), states[1]);
        button(QStringLiteral("撤销"))->click();
        QCOMPARE(layoutBits(ns()), states[0]);
        QVERIFY(!undo->isEnabled());

        QTest::keyClick(&w(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(layoutBits(ns()), states[1]);
        QTest::keyClick(&w(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(layoutBits(ns()), states[2]);
        button(QStringLiteral("重做"))->click();
        QCOMPARE(layoutBits(ns()), states[3]);
        QVERIFY(!redo->isEnabled());
    }

    // A run locks every command that changes the layout; a second click starts nothing,
    // and Cancel puts the layout back as it was.
    void cancelDuringLayoutAllRestoresThePreviousLayout()
    {
        runToEnd(QStringLiteral("Layout All\nHAPE"));
        const QByteArray before = layoutBits(ns());
        const size_t steps = w().history().undoSteps();
        int starts = 0;
        connect(&w(), &MainWindow::progressTextChanged, this, [&](const QString& text) {
            starts += text == QStringLiteral("排样中... 0%");
        });

        button(QStringLiteral("Layout All\nMultiple Steps"))->click();
        QVERIFY(w().layoutRunning());
        QVERIFY(!w().packingKit()->isEnabled());
        QVERIFY(!menuAction(w(), QStringLiteral("OpenLibIn&HD"))->isEnabled());
        QVERIFY(!menuAction(w(), QStringLiteral("撤销(&U)"))->isEnabled());
        button(QStringLiteral("Layout All\nMultiple Steps"))->click();
        button(QStringLiteral("Layout All\nHAPE"))->click();
        w().layoutAll(false);  // even past the disabled buttons
        key(Qt::Key_A, Qt::ShiftModifier);  // the drawing area takes no edits either
        QVERIFY(w().runCancelButton() != nullptr);
        QCOMPARE(w().runCancelButton()->text(), QStringLiteral("取消"));
        w().runCancelButton()->click();
        waitForRun();

        QCOMPARE(starts, 1);
        QCOMPARE(layoutBits(ns()), before);
        for (const Part& p : ns().nestParts) QVERIFY(!p.selected);
        QCOMPARE(w().history().undoSteps(), steps);
        QCOMPARE(w().progressBar(), nullptr);
        QCOMPARE(w().runCancelButton(), nullptr);
        QVERIFY(w().packingKit()->isEnabled());

        // A per-plate method is put back the same way, and the next run goes ahead.
        ns().selectAllParts();
        button(QStringLiteral("HAPE"))->click();
        QVERIFY(w().layoutRunning());
        w().runCancelButton()->click();
        waitForRun();
        QCOMPARE(layoutBits(ns()), before);
        runToEnd(QStringLiteral("Layout All\nMultiple Steps"));
        QCOMPARE(starts, 2);
        QCOMPARE(ns().unplacedCount(), 0);
    }

    // Stop keeps the optimiser's layout, and that layout is one undo step.
    void optimiseRunsInTheWorkerAndStopKeepsItsLayout()
    {
        const QByteArray empty = layoutBits(ns());
        w().packingKit()->optimiseSecondsEdit()->setText(QStringLiteral("1"));
        button(QStringLiteral("Layout All\nOptimise"))->click();
        QVERIFY(w().layoutRunning());
        QVERIFY(w().progressBar() != nullptr);
        QCOMPARE(w().runCancelButton()->text(), QStringLiteral("停止"));
        w().runCancelButton()->click();
        waitForRun();
        QCOMPARE(w().optimiseSeconds(), 1.0);
        QVERIFY(!ns().plates.empty());
        QCOMPARE(ns().unplacedCount(), 0);
        w().undo();
        QCOMPARE(layoutBits(ns()), empty);

        // A budget that is no time is refused before anything runs.
        w().packingKit()->optimiseSecondsEdit()->setText(QStringLiteral("0"));
        button(QStringLiteral("Layout All\nOptimise"))->click();
        QVERIFY(!w().layoutRunning());
        QCOMPARE(messages_.back(), std::string("优化时间错误! 须在 0 到 86400 秒之间"));
    }

    void closingOrReplacingUnsavedWorkAsksFirst()
    {
        // Nothing done yet: nothing to ask.
        QVERIFY(w().close());
        QCOMPARE(prompts_, 0);
        w().show();

        runToEnd(QStringLiteral("Layout All\nHAPE"));
        answer_ = UnsavedChoice::Cancel;
        QVERIFY(!w().close());
        QCOMPARE(prompts_, 1);
        QVERIFY(w().isVisible());
        NestSystem* open = w().nestSystem();
        QVERIFY(!w().openLibrary(exampleLibrary()));
        QCOMPARE(w().nestSystem(), open);
        QCOMPARE(prompts_, 2);

        // A Layout All over a Layout All loses no hand work; over a hand edit it asks.
        runToEnd(QStringLiteral("Layout All\nHAPE"));
        QCOMPARE(prompts_, 2);
        ns().nestParts.back().selected = true;
        key(Qt::Key_T);
        const QByteArray edited = layoutBits(ns());
        button(QStringLiteral("Layout All\nHAPE"))->click();
        QVERIFY(!w().layoutRunning());
        QCOMPARE(prompts_, 3);
        QCOMPARE(layoutBits(ns()), edited);

        // Save writes the packing-information file; then closing asks no more.
        answer_ = UnsavedChoice::Save;
        files_[FileDialogKind::PackingInfoExport] = filePath("saved.txt");
        QVERIFY(w().close());
        QCOMPARE(prompts_, 4);
        QVERIFY(!fileBytes(filePath("saved.txt")).isEmpty());
        QVERIFY(!w().history().modified());
    }

    // Closing during a run ends the run first (Cancel), then closes.
    void closingDuringARunCancelsItFirst()
    {
        const QByteArray before = layoutBits(ns());
        button(QStringLiteral("Layout All\nHAPE"))->click();
        QVERIFY(!w().close());
        QVERIFY(w().isVisible());
        waitForRun();
        QTRY_VERIFY(!w().isVisible());
        QCOMPARE(layoutBits(ns()), before);
        QCOMPARE(prompts_, 0);  // the cancelled run left nothing unsaved
    }

    // A save that cannot be written leaves the previous file and the unsaved state.
    void aFailedSaveLeavesThePreviousFile()
    {
        runToEnd(QStringLiteral("Layout All\nHAPE"));
        const QString folder = filePath("kept");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + "/layout.txt";
        files_[FileDialogKind::PackingInfoExport] = path;
        QVERIFY(w().saveLayout());
        const QByteArray previous = fileBytes(path);
        ns().nestParts.back().selected = true;
        key(Qt::Key_T);
        QVERIFY(w().history().modified());

        // Not as root, for whom a read-only folder is no obstacle: then only the size limit.
        const bool root = geteuid() == 0;
        if (!root) {
            QVERIFY(chmod(folder.toLocal8Bit().constData(), 0555) == 0);
            QVERIFY(!w().saveLayout());
            QVERIFY(chmod(folder.toLocal8Bit().constData(), 0755) == 0);
            QCOMPARE(fileBytes(path), previous);
            QVERIFY(QString::fromStdString(messages_.at(messages_.size() - 2)).contains(path));
        }
        // A file size limit stops every writer, root included, part-way through the file.
        rlimit old{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
        rlimit small = old;
        small.rlim_cur = static_cast<rlim_t>(previous.size() / 2);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        answer_ = UnsavedChoice::Save;
        const bool closed = w().close();  // Save is chosen and fails: the window stays
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!closed);
        QVERIFY(w().isVisible());
        QCOMPARE(fileBytes(path), previous);
        QVERIFY(QString::fromStdString(messages_.at(messages_.size() - 2))
                    .startsWith(QStringLiteral("文件保存失败!")));
        QVERIFY(w().history().modified());
    }
};

QTEST_MAIN(LayoutRunsTest)
#include "test_layout_runs.moc"
