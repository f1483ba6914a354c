#include <QApplication>
#include <QCommandLineParser>
#include <QDockWidget>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "core_messages.h"
#include "main_window.h"
#include "packing_kit.h"
#include "ui_translation.h"

namespace {

// Unattended runs (a screenshot for the documentation or a test under a virtual
// display) must never wait for a person: messages go to the error stream.
void reportInsteadOfAsking(orvo::MainWindow& window)
{
    window.platform().setMessageHook([](const std::string& text, const std::string& caption) {
        std::fprintf(stderr, "%s %s\n", qPrintable(orvo::shownCaption(caption)),
                     qPrintable(orvo::shownCoreText(text)));
    });
    window.platform().setViewerHook([](const std::string& path) {
        std::fprintf(stderr, "would open %s\n", path.c_str());
    });
}

// The main window with the Packing Kit docked beside the drawing (or floating next to
// it), as the X server shows them.
bool saveScreenshot(orvo::MainWindow& window, const QString& path)
{
    QRect area = window.frameGeometry();
    if (const QDockWidget* dock = window.kitDock(); dock != nullptr && dock->isFloating()) {
        area = area.united(dock->frameGeometry());
    }
    QScreen* screen = window.screen();
    const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    return !shot.isNull() && shot.save(path, "PNG");
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OrvoPacking"));
    QApplication::setApplicationVersion(QStringLiteral("0.1.0"));
    const orvo::UiTranslation translation(orvo::UiTranslation::systemLocale());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "OrvoPacking lays out sheet-metal parts on mother plates. Opens the part library "
        "LIBRARY (a preSrc file) at start when one is given."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("LIBRARY"),
                                 QStringLiteral("Part library to open (*.preSrc)."),
                                 QStringLiteral("[LIBRARY]"));
    const QCommandLineOption layout(
        QStringLiteral("layout"),
        QStringLiteral("After opening LIBRARY, run \"Layout All HAPE\" as its button does."));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Unattended: save a PNG of the main window and the Packing Kit as the "
                       "screen shows them to FILE, then quit. Messages go to standard error."),
        QStringLiteral("FILE"));
    parser.addOption(layout);
    parser.addOption(screenshot);
    parser.process(app);

    orvo::MainWindow window;
    if (parser.isSet(screenshot)) reportInsteadOfAsking(window);
    window.move(0, 0);
    window.show();

    const QStringList args = parser.positionalArguments();
    QTimer::singleShot(0, &window, [&] {
        if (!args.isEmpty() && window.openLibrary(args.first()) && parser.isSet(layout)) {
            window.layoutAll(false);
        }
        if (!parser.isSet(screenshot)) return;
        // Give the X server time to show the last paint before the picture is taken.
        const auto shoot = [&] {
            QTimer::singleShot(1500, &window, [&] {
                const bool saved = saveScreenshot(window, parser.value(screenshot));
                if (!saved) std::fprintf(stderr, "screenshot could not be saved\n");
                QApplication::exit(saved ? 0 : 1);
            });
        };
        // The layout runs in the worker: the picture waits for its end.
        if (window.layoutRunning()) {
            QObject::connect(&window, &orvo::MainWindow::runFinished, &window, shoot,
                             Qt::SingleShotConnection);
        } else {
            shoot();
        }
    });
    return app.exec();
}
