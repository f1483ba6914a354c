#pragma once

#include <QObject>
#include <atomic>
#include <functional>

class QThread;

namespace orvo {

// Runs one layout method at a time on a thread of its own, so that the window stays
// responsive. The job gets a stop flag that Cancel or Stop raises; a job that cannot
// stop early simply runs to its end. Its platform calls reach the window's thread
// (QtPlatform), where they are served by the event loop.
class LayoutWorker : public QObject {
    Q_OBJECT

public:
    using Job = std::function<void(const std::atomic<bool>& stop)>;

    explicit LayoutWorker(QObject* parent = nullptr);
    // The owner waits for the job (waitServingEvents) before it goes.
    ~LayoutWorker() override;

    // True from start until finished has been emitted on the window's thread.
    bool running() const { return thread_ != nullptr; }
    // False, starting nothing, while a job runs.
    bool start(Job job);
    void requestStop() { stop_ = true; }
    bool stopRequested() const { return stop_; }
    // Returns when the job has ended, serving its platform calls meanwhile.
    void waitServingEvents();

signals:
    // On the window's thread, after the job's last platform call.
    void finished();

private:
    void threadEnded();

    QThread* thread_ = nullptr;
    std::atomic<bool> stop_{false};
};

}  // namespace orvo
