#pragma once

#include <ctime>
#include <string>

namespace orvo {

// The world box of the progress calls is the geometry's; the interface only passes it on.
struct BoundingBox;

// The one small interface through which the core reaches the user and the machine.
// The desktop program implements it with Qt, the batch command on the terminal, the
// tests with a recorder. The core never shows a dialog, reads a clock or runs a
// command by any other way. Texts are UTF-8.
class Platform {
public:
    virtual ~Platform() = default;

    // A modal notice with one OK button; returns when the user has acknowledged it.
    virtual void showMessage(const std::string& text, const std::string& caption) = 0;

    // Layout All progress, once per plate.
    virtual void setWorldBoxAndFit(const BoundingBox& world) = 0;
    virtual void repaintNow() = 0;
    virtual void setProgressPercent(int percent) = 0;
    virtual void setStatusText(const std::string& text) = 0;

    // Seconds from an arbitrary start, monotonic, sub-millisecond resolution.
    virtual double monotonicSeconds() = 0;

    // The local time of day, for the time stamp of the error report.
    virtual std::tm localTime() = 0;

    // Opens a file in the user's viewer for its kind (a text file in the text editor).
    virtual void openInViewer(const std::string& path) = 0;
};

// Captions of the system's message boxes.
inline constexpr const char* kCaptionWarning = "Warning!";
inline constexpr const char* kCaptionNotice = "提示!";

}  // namespace orvo
