#pragma once

// Helpers of the desktop program's tests: the library they open, pixels, menus, files.

#include <QAction>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QString>

#include "main_window.h"

namespace orvo::test {

// The brackets example where it is checked out, else the worked example.
inline QString exampleLibrary()
{
    const QString brackets = QStringLiteral(ORVO_SOURCE_DIR "/examples/brackets.preSrc");
    if (QFile::exists(brackets)) return brackets;
    return QStringLiteral(ORVO_SOURCE_DIR "/examples/worked_example.preSrc");
}

inline int countColour(const QImage& image, const QColor& colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour;
    }
    return n;
}

// The item of any menu of the window with that text, or null.
inline QAction* menuAction(MainWindow& window, const QString& text)
{
    for (QAction* menu : window.menuBar()->actions()) {
        if (menu->menu() == nullptr) continue;
        for (QAction* a : menu->menu()->actions()) {
            if (a->text() == text) return a;
        }
    }
    return nullptr;
}

// The whole file, or nothing when it cannot be read.
inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace orvo::test
