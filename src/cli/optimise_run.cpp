#include "cli/optimise_run.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "base/number_text.h"

namespace orvo::cli {

namespace {

// Set by the signal handler: a lock-free atomic store is safe there.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void onInterrupt(int)
{
    interrupted.store(true);
}

// The progress line of the search: redrawn on every layout notification (on the calling
// thread, where the system may be read) and four times a second from its own thread, so
// that the time runs on between improvements. It shows the best layout seen: a layout
// still being built places fewer parts and so never ranks before a finished one.
class SearchProgress {
public:
    SearchProgress(NestSystem& ns, TerminalPlatform& platform, const std::atomic<bool>& stop)
        : ns_(ns), platform_(platform), stop_(stop), start_(platform.monotonicSeconds())
    {
        // Set even when no line is drawn: the start layouts then draw no plate bars either.
        platform_.setLayoutWatcher([this] { layoutChanged(); });
        if (!platform_.drawsProgressLine()) return;
        draw();
        ticker_ = std::thread([this] { tick(); });
    }

    ~SearchProgress()
    {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        if (ticker_.joinable()) ticker_.join();
        platform_.setLayoutWatcher({});
        platform_.finishProgress();
    }

    SearchProgress(const SearchProgress&) = delete;
    SearchProgress& operator=(const SearchProgress&) = delete;

private:
    void layoutChanged()
    {
        if (!platform_.drawsProgressLine()) return;
        const LayoutScore score = scoreLayout(ns_);
        const std::lock_guard lock(mutex_);
        if (!best_ || betterScore(score, *best_)) best_ = score;
        drawLocked();
    }

    void tick()
    {
        std::unique_lock lock(mutex_);
        while (!wake_.wait_for(lock, std::chrono::milliseconds(250), [this] { return done_; })) {
            drawLocked();
        }
    }

    void draw()
    {
        const std::lock_guard lock(mutex_);
        drawLocked();
    }

    void drawLocked()
    {
        std::string text = "optimise " + formatFixed(platform_.monotonicSeconds() - start_, 1) + " s";
        if (best_) {
            text += "  plates " + std::to_string(best_->plates) + "  last plate " +
                    formatFixed(best_->lastPlateLength, 1) + " mm  utilisation " +
                    formatFixed(best_->utilisation, 2) + "%";
        } else {
            text += "  laying out the start";
        }
        if (stop_.load()) text += "  stopping (Ctrl+C)";
        platform_.showProgressLine(text);
    }

    NestSystem& ns_;
    TerminalPlatform& platform_;
    const std::atomic<bool>& stop_;
    const double start_;
    std::mutex mutex_;  // guards best_ and done_, and keeps the line's draws in order
    std::condition_variable wake_;
    std::optional<LayoutScore> best_;
    bool done_ = false;
    std::thread ticker_;
};

}  // namespace

StopOnInterrupt::StopOnInterrupt()
{
    interrupted.store(false);
    if (sigaction(SIGINT, nullptr, &previous_) != 0) return;
    if (!(previous_.sa_flags & SA_SIGINFO) && previous_.sa_handler == SIG_IGN) return;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    installed_ = sigaction(SIGINT, &action, nullptr) == 0;
}

StopOnInterrupt::~StopOnInterrupt()
{
    if (installed_) sigaction(SIGINT, &previous_, nullptr);
}

const std::atomic<bool>& StopOnInterrupt::stopRequested() const
{
    return interrupted;
}

OptimiseRun runOptimise(NestSystem& ns, TerminalPlatform& platform, const OptimiseSettings& settings)
{
    OptimiseRun run;
    run.settings = settings;
    const StopOnInterrupt interrupt;
    {
        const SearchProgress progress(ns, platform, interrupt.stopRequested());
        run.outcome = optimiseLayoutAll(ns, settings, interrupt.stopRequested());
    }
    run.held = scoreLayout(ns);
    run.stopped = run.outcome.stopped || interrupt.stopRequested().load();
    return run;
}

const char* layoutMethodName(LayoutMethod method)
{
    return method == LayoutMethod::Gravity ? "hape" : "multistep";
}

}  // namespace orvo::cli
