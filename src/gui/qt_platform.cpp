#include "qt_platform.h"

#include <QMessageBox>
#include <QMetaObject>
#include <QThread>
#include <chrono>
#include <ctime>

#include "core_messages.h"

namespace orvo {

namespace {

// A layout method running in a worker calls the platform from its own thread: the call
// is carried out on the window's thread while the worker waits, so that the window
// reads the document only while nothing changes it.
template <class Call>
void onWindowThread(QWidget* window, Call call)
{
    if (QThread::currentThread() == window->thread()) {
        call();
    } else {
        QMetaObject::invokeMethod(window, call, Qt::BlockingQueuedConnection);
    }
}

}  // namespace

QtPlatform::QtPlatform(QWidget& parent, ProgressView& progress)
    : parent_(&parent), progress_(&progress)
{
}

void QtPlatform::showMessage(const std::string& text, const std::string& caption)
{
    onWindowThread(parent_, [&] { showMessageHere(text, caption); });
}

void QtPlatform::showMessageHere(const std::string& text, const std::string& caption)
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

void QtPlatform::setWorldBoxAndFit(const BoundingBox& world)
{
    onWindowThread(parent_, [&] { progress_->setWorldBoxAndFit(world); });
}

void QtPlatform::repaintNow()
{
    onWindowThread(parent_, [&] { progress_->repaintNow(); });
}

void QtPlatform::setProgressPercent(int percent)
{
    onWindowThread(parent_, [&] { progress_->setProgressPercent(percent); });
}

void QtPlatform::setStatusText(const std::string& text)
{
    onWindowThread(parent_, [&] { progress_->setStatusText(shownCoreText(text).toStdString()); });
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
    onWindowThread(parent_, [&] { openInViewerHere(path); });
}

void QtPlatform::openInViewerHere(const std::string& path)
{
    if (viewerHook_) viewerHook_(path);
    progress_->showTextFile(path, !viewerHook_);
}

}  // namespace orvo
