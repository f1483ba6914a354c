#include "qt_platform.h"

#include <QMessageBox>
#include <chrono>
#include <ctime>

#include "core_messages.h"

namespace orvo {

QtPlatform::QtPlatform(QWidget& parent, ProgressView& progress)
    : parent_(&parent), progress_(&progress)
{
}

void QtPlatform::showMessage(const std::string& text, const std::string& caption)
{
    if (messageHook_) {
        messageHook_(text, caption);
        return;
    }
    // In the user's language; part names (GBK as read) come out in UTF-8.
    const QString body = shownCoreText(text);
    const QMessageBox::Icon icon =
        caption == kCaptionWarning ? QMessageBox::Warning : QMessageBox::Information;
    QMessageBox box(icon, shownCaption(caption), body, QMessageBox::Ok, parent_);
    box.exec();
}

void QtPlatform::setWorldBoxAndFit(const BoundingBox& world) { progress_->setWorldBoxAndFit(world); }

void QtPlatform::repaintNow() { progress_->repaintNow(); }

void QtPlatform::setProgressPercent(int percent) { progress_->setProgressPercent(percent); }

void QtPlatform::setStatusText(const std::string& text)
{
    progress_->setStatusText(shownCoreText(text).toStdString());
}

double QtPlatform::monotonicSeconds()
{
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

std::tm QtPlatform::localTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

void QtPlatform::openInViewer(const std::string& path)
{
    if (viewerHook_) viewerHook_(path);
    progress_->showTextFile(path, !viewerHook_);
}

}  // namespace orvo
