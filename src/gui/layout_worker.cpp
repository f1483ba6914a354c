#include "layout_worker.h"

#include <QEventLoop>
#include <QThread>

namespace orvo {

LayoutWorker::LayoutWorker(QObject* parent) : QObject(parent) {}

LayoutWorker::~LayoutWorker()
{
    if (thread_ == nullptr) return;
    requestStop();
    thread_->wait();
    delete thread_;
}

bool LayoutWorker::start(Job job)
{
    if (thread_ != nullptr) return false;
    stop_ = false;
    thread_ = QThread::create([this, job = std::move(job)] { job(stop_); });
    // Queued to this object's thread: the window learns of the end from its event loop.
    connect(thread_, &QThread::finished, this, &LayoutWorker::threadEnded, Qt::QueuedConnection);
    thread_->start();
    return true;
}

void LayoutWorker::threadEnded()
{
    if (thread_ == nullptr) return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    emit finished();
}

void LayoutWorker::waitServingEvents()
{
    if (thread_ == nullptr) return;
    QEventLoop loop;
    connect(this, &LayoutWorker::finished, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace orvo
