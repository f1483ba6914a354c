// The program's texts in the user's language. CTest runs this program under
// LANG=en_US.UTF-8 and under LANG=zh_CN.UTF-8; the first test expects what that locale
// shows, the others install or leave out the English translation themselves.
#include <QtTest>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <filesystem>
#include <memory>

#include "app/layout_dxf.h"
#include "app/open_library.h"
#include "base/platform.h"
#include "base/text_encoding.h"
#include "base/text_file.h"
#include "core_messages.h"
#include "main_window.h"
#include "nesting/layout_all.h"
#include "nesting/optimise.h"
#include "output/dxf_export.h"
#include "nesting/nest_system.h"
#include "output/packing_info.h"
#include "output/packing_report.h"
#include "packing_kit.h"
#include "renew_dialog.h"
#include "support/library_text.h"
#include "support/recording_platform.h"
#include "support/temp_folder.h"
#include "ui_translation.h"

using namespace orvo;

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kChinese(QLocale::Chinese, QLocale::China);

QString exampleLibrary() { return QStringLiteral(ORVO_SOURCE_DIR "/examples/worked_example.preSrc"); }

bool menuHas(MainWindow& window, const QString& text)
{
    for (QAction* menu : window.menuBar()->actions()) {
        for (QAction* a : menu->menu()->actions()) {
            if (a->text() == text) return true;
        }
    }
    return false;
}

bool hasChinese(const QString& text)
{
    static const QRegularExpression han(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(han);
}

// Shows the message through the real message box and reads what it shows.
QPair<QString, QString> shownBox(QtPlatform& platform, const std::string& text, const char* caption)
{
    QPair<QString, QString> seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen = {box->windowTitle(), box->text()};
            box->accept();
        }
    });
    poll.start(10);
    platform.showMessage(text, caption);
    return seen;
}

// Lines of a written file but the time stamps ("2026年12月8日, ..."), which follow the clock.
QByteArray withoutTimeStamps(const QByteArray& bytes)
{
    QByteArray kept;
    for (const QByteArray& line : bytes.split('\n')) {
        if (line.isEmpty() || !std::isdigit(static_cast<unsigned char>(line[0]))) kept += line + '\n';
    }
    return kept;
}

// A library of rectangles with ASCII names, so that no Chinese in a message comes from a part.
std::string rectangleLibrary(double partGap, double length, double width)
{
    std::string text = test::configSection(partGap, 5, length, width, false);
    for (const char* name : {"R0", "R1", "R2", "R3"}) {
        text += test::partRecord(name, {test::rectLoop(0, 0, 100 + 10 * name[1], 60)});
    }
    return text;
}

}  // namespace

class TranslationTest : public QObject {
    Q_OBJECT

private slots:
    // The menu, the Packing Kit, the Renew dialog, a message box of the core and the
    // progress text, in the language of the locale the test runs under.
    void textsFollowTheLocale()
    {
        const bool chinese = qEnvironmentVariable("LANG").startsWith(QStringLiteral("zh"));
        const UiTranslation translation(UiTranslation::systemLocale());
        QCOMPARE(translation.installed(), !chinese);
        const auto pick = [&](const char* zh, const char* en) {
            return QString::fromUtf8(chinese ? zh : en);
        };

        test::TempFolder folder;
        QDir::setCurrent(QString::fromStdString(folder.path()));
        MainWindow window;
        window.show();
        QVERIFY(menuHas(window, pick("OpenLibIn&HD", "&Open Library...")));
        QVERIFY(!menuHas(window, pick("&Open Library...", "OpenLibIn&HD")));
        QVERIFY(menuHas(window, pick("PPT_Visible", "Show &Packing Points")));

        QVERIFY(window.openLibrary(exampleLibrary()));
        PackingKit* kit = window.packingKit();
        QCOMPARE(kit->windowTitle(), pick("Packing Kit 排样工具箱", "Packing Kit"));
        QVERIFY(kit->button(pick("Select Plt(s)", "Select Plate(s)")) != nullptr);
        QVERIFY(kit->button(pick("Left Contact", "Push Left")) != nullptr);

        window.commandRenewDialog();
        QVERIFY(window.renewDialog()->button(pick("刷新RN", "Apply RN")) != nullptr);
        QVERIFY(window.renewDialog()->button(pick("取消", "Cancel")) != nullptr);

        const auto notice = shownBox(window.platform(), "拾取母板的排样图已生成", kCaptionNotice);
        QCOMPARE(notice.first, pick("提示!", "Notice"));
        QCOMPARE(notice.second, pick("拾取母板的排样图已生成", "Layout drawings of the selected plates written"));
        const std::string failure = fileFailureText("文件保存失败!", "out/层.txt", "Disk full");
        const auto warning = shownBox(window.platform(), failure, kCaptionWarning);
        QCOMPARE(warning.first, QStringLiteral("Warning!"));
        QCOMPARE(warning.second, pick("文件保存失败! out/层.txt: Disk full",
                                      "Could not save the file! out/层.txt: Disk full"));

        QStringList progress;
        connect(&window, &MainWindow::progressTextChanged, this,
                [&](const QString& text) { progress.append(text); });
        kit->button(QStringLiteral("Layout All\nHAPE"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!window.layoutRunning(), 120000);
        QVERIFY(progress.size() >= 2);
        QCOMPARE(progress.first(), pick("排样中... 0%", "Laying out... 0%"));
        QCOMPARE(progress.last(), pick("排样中... 100%", "Laying out... 100%"));
        QDir::setCurrent(QDir::tempPath());
    }

    // Every message the core gives for a faulty library, setting, layout file or output
    // shows no Chinese with the English translation and its very text without it. A
    // message of the core that the catalogue no longer matches fails here.
    void everyCoreMessageHasItsEnglish()
    {
        test::TempFolder folder;
        test::RecordingPlatform platform;
        const auto library = [&](const std::string& name, const std::string& text) {
            test::writeFile(folder.file(name), text);
            return folder.file(name);
        };
        {
            NestSystem refused(platform, folder.path());
            openPartLibrary(refused, folder.file("missing.preSrc"));
            openPartLibrary(refused, library("zero.preSrc", rectangleLibrary(5, 0, 500)));
            openPartLibrary(refused, library("gap.preSrc", rectangleLibrary(2e6, 1000, 500)));
            openPartLibrary(refused, library("empty.preSrc", test::configSection(5, 5, 1000, 500, false)));
            openPartLibrary(refused, ORVO_SOURCE_DIR "/examples/bad_arc.preSrc");
        }
        NestSystem ns(platform, folder.path());
        QVERIFY(openPartLibrary(ns, library("negative_gap.preSrc", rectangleLibrary(-1, 1000, 500))));
        ns.setRotationNumber(100000);
        ns.setPackingPointDistance(-1);
        ns.setPackingPointDistance(1e-6);
        ns.acceptPlateSize(1000, 1e9);
        showPackingReport(ns);  // no active plate yet
        layoutAll(ns, LayoutMethod::Gravity);
        {
            OptimiseSettings search;  // a few rounds: their status texts
            search.seconds = 0.0;
            search.threads = 1;
            search.iterations = 4;
            const std::atomic<bool> stop{false};
            optimiseLayoutAll(ns, search, stop);
        }
        exportAllPlates(ns);
        ns.plates.front().selected = true;
        exportPickedPlates(ns);
        exportPackingInfo(ns, folder.file("no/such/folder/layout.txt"));
        exportLayoutDxf(ns, folder.file("no/such/folder/layout.dxf"));

        // Layout files that do not fit the library, each with a different fault.
        QVERIFY(exportPackingInfo(ns, folder.file("layout.txt")));
        const QString good = QString::fromStdString(folder.read("layout.txt"));
        const auto import = [&](std::initializer_list<std::pair<const char*, const char*>> edits) {
            QString text = good;
            for (const auto& [from, to] : edits) text.replace(QRegularExpression(from), to);
            test::writeFile(folder.file("edited.txt"), text.toStdString());
            importPackingInfo(ns, folder.file("edited.txt"));
        };
        importPackingInfo(ns, folder.file("missing.txt"));
        import({{"PlateID=0", "PlateID=-1"}});
        import({{"\tmin_X=[-0-9.]+", "\tmin_X=5000.0"}});
        import({{"(?<=\n)PartID=\\d+", "PartID=99"}});
        import({{"(?<=\n)PartID=\\d+", "PartID=3"}});
        import({{"Located PlateID=\\d+", "Located PlateID=77"}});
        import({{"BasePt.x=[-0-9.]+", "BasePt.x=1e300"}});
        import({{"BasePt.x=[-0-9.]+", "BasePt.x=1.0"}, {"BasePt.y=[-0-9.]+", "BasePt.y=1.0"}});

        QVERIFY(platform.messages.size() >= 23);  // one for each fault above
        QVERIFY(!platform.statusTexts.empty());
        std::vector<std::string> texts = platform.statusTexts;
        for (const auto& m : platform.messages) texts.push_back(m.text);
        {
            const UiTranslation english(kEnglish);
            QVERIFY(english.installed());
            for (const auto& m : platform.messages) QVERIFY(!hasChinese(shownCaption(m.caption)));
            for (const std::string& text : texts) {
                QVERIFY2(!hasChinese(shownCoreText(text)), text.c_str());
            }
        }
        const UiTranslation chinese(kChinese);
        QVERIFY(!chinese.installed());
        for (const std::string& text : texts) QCOMPARE(shownCoreText(text), QString::fromStdString(text));
        // Qt's own buttons (save / discard / cancel of the unsaved-work question) speak
        // Chinese too.
        QVERIFY(chinese.qtInstalled());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    }

    // The rules by which a message made of fixed text and values is translated.
    void composedMessages_data()
    {
        QTest::addColumn<QByteArray>("core");
        QTest::addColumn<QString>("english");
        QTest::newRow("values kept in place")
            << QByteArray("板材尺寸错误! 板材宽度 0 须在 0.001 到 1e+06 mm 之间")
            << QStringLiteral("Invalid plate size! The plate width 0 must be between 0.001 and 1e+06 mm");
        QTest::newRow("file and reason kept")
            << QByteArray("排样报告文件输出失败! 报告/Report.txt: Permission denied")
            << QStringLiteral("Could not write the packing report! 报告/Report.txt: Permission denied");
        QTest::newRow("a placeholder in a value stays a value")
            << QByteArray("所有母板的排样图\"%2 %1.dxf\"已生成")
            << QStringLiteral("Layout drawing of all plates \"%2 %1.dxf\" written");
        QTest::newRow("pieces translated inside a message")
            << QByteArray("排样文件数据错误! 第 2 个板材块 (PlateID=5): 包围盒颠倒: min_X 3 大于 max_X 1")
            << QStringLiteral("Invalid data in the layout file! plate block 2 (PlateID=5): "
                              "inverted box: min_X 3 is greater than max_X 1");
        QTest::newRow("a list cut after its first entries")
            << QByteArray("排样文件已读入, 但有 12 处零件重叠或超出板材: PartID=1 与 PartID=2 重叠; "
                          "PartID=3 超出板材 0 等")
            << QStringLiteral("Layout file read, but parts overlap or lie outside a plate in 12 places: "
                              "PartID=1 overlaps PartID=2; PartID=3 lies outside plate 0, and more");
        QTest::newRow("a part name read as GBK")
            << (QByteArray("DXF 文件读取失败: ") + QByteArray::fromStdString(utf8ToGbk("支架.dxf")))
            << QStringLiteral("Could not read the DXF file: 支架.dxf");
        QTest::newRow("a text the catalogue does not know is left as it is")
            << QByteArray("未知的消息 42") << QStringLiteral("未知的消息 42");
    }

    void composedMessages()
    {
        QFETCH(QByteArray, core);
        QFETCH(QString, english);
        const UiTranslation translation(kEnglish);
        QCOMPARE(shownCoreText(core.toStdString()), english);
    }

    // The files the program writes are the same bytes whatever the language on screen:
    // Chinese texts in them stay GBK. Each run also leaves its files for the comparison
    // across the two locales (gui_translation_files_alike).
    void writtenFilesKeepTheirBytes()
    {
        std::map<std::string, QByteArray> first;
        for (const QLocale& locale : {kEnglish, kChinese}) {
            const UiTranslation translation(locale);
            test::TempFolder folder;
            QDir::setCurrent(QString::fromStdString(folder.path()));
            std::map<std::string, QByteArray> files;
            {
                MainWindow window;
                window.platform().setMessageHook([](const std::string&, const std::string&) {});
                window.platform().setViewerHook([](const std::string&) {});
                // Its faulty outlines go to PackError.txt.
                window.openLibrary(QStringLiteral(ORVO_SOURCE_DIR "/examples/bad_arc.preSrc"));
                QVERIFY(window.openLibrary(exampleLibrary()));
                window.layoutAll(false);
                QTRY_VERIFY_WITH_TIMEOUT(!window.layoutRunning(), 120000);
                window.packingReport();
                window.exportAllPlates();
            }
            for (const char* name : {"PackError.txt", "PartInfo.txt", "Report.txt", "AllPlts.dxf"}) {
                QFile file(QString::fromUtf8(name));
                QVERIFY2(file.open(QIODevice::ReadOnly), name);
                files[name] = file.readAll();
            }
            files["PackError.txt"] = withoutTimeStamps(files["PackError.txt"]);
            QVERIFY(files["PackError.txt"].contains(QByteArray::fromStdString(utf8ToGbk("以上错误发生于零件:"))));
            QVERIFY(files["Report.txt"].contains(QByteArray::fromStdString(utf8ToGbk("已排样零件:"))));
            QDir::setCurrent(QDir::tempPath());
            if (first.empty()) {
                first = files;
                continue;
            }
            for (const auto& [name, bytes] : files) QVERIFY2(bytes == first[name], name.c_str());
        }
        const QString keep = qEnvironmentVariable("ORVO_TRANSLATION_FILES");
        if (keep.isEmpty()) return;
        QVERIFY(QDir().mkpath(keep));
        for (const auto& [name, bytes] : first) {
            QFile out(keep + '/' + QString::fromStdString(name));
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        }
    }
};

QTEST_MAIN(TranslationTest)
#include "test_translation.moc"
