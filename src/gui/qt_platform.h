#pragma once

#include <functional>
#include <string>

#include "base/platform.h"
#include "geometry/point.h"

class QWidget;

namespace orvo {

// What the core's progress calls reach in the window: the drawing area and the
// progress display below it.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void setWorldBoxAndFit(const BoundingBox& world) = 0;
    virtual void repaintNow() = 0;
    virtual void setProgressPercent(int percent) = 0;
    virtual void setStatusText(const std::string& text) = 0;
    // A file the core asks to show (the packing report): openWindow is false when a hook
    // took the request instead.
    virtual void showTextFile(const std::string& path, bool openWindow) = 0;
};

// The desktop program's platform: message boxes, the progress display, the clock, the
// local time and the program's own text viewer. It may be called from a worker thread
// that runs a layout method: every call but the clocks is then carried out on the
// window's thread while the worker waits. Tests and unattended runs replace the two calls
// that would wait for a person (message boxes and the viewer) by hooks.
class QtPlatform : public Platform {
public:
    using MessageHook = std::function<void(const std::string& text, const std::string& caption)>;
    using ViewerHook = std::function<void(const std::string& path)>;

    QtPlatform(QWidget& parent, ProgressView& progress);

    void showMessage(const std::string& text, const std::string& caption) override;
    void setWorldBoxAndFit(const BoundingBox& world) override;
    void repaintNow() override;
    void setProgressPercent(int percent) override;
    void setStatusText(const std::string& text) override;
    double monotonicSeconds() override;
    std::tm localTime() override;
    void openInViewer(const std::string& path) override;

    void setMessageHook(MessageHook hook) { messageHook_ = std::move(hook); }
    void setViewerHook(ViewerHook hook) { viewerHook_ = std::move(hook); }

private:
    void showMessageHere(const std::string& text, const std::string& caption);
    void openInViewerHere(const std::string& path);

    QWidget* parent_;
    ProgressView* progress_;
    MessageHook messageHook_;
    ViewerHook viewerHook_;
};

}  // namespace orvo
