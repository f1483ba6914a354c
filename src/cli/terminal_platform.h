#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/platform.h"
#include "geometry/point.h"

namespace orvo::cli {

// The platform of the batch command: messages on standard error as "caption: text",
// the Layout All progress as a bar on a terminal or as plain lines otherwise. While a
// layout watcher is set (the search of --layout optimise), each layout notification
// calls it instead, and the watcher draws its own line. Standard error is written under
// one lock, so that a line drawn by another thread never cuts into a message.
class TerminalPlatform : public Platform {
public:
    struct Message {
        std::string text;
        std::string caption;
    };

    explicit TerminalPlatform(bool quiet);

    void showMessage(const std::string& text, const std::string& caption) override;
    void setWorldBoxAndFit(const BoundingBox&) override {}
    void repaintNow() override {}
    void setProgressPercent(int percent) override;
    void setStatusText(const std::string& text) override;
    double monotonicSeconds() override;
    std::tm localTime() override;
    void openInViewer(const std::string& path) override;

    // Ends the progress bar's line; call after a layout.
    void finishProgress();

    // True when a progress line is drawn: not quiet, and standard error is a terminal.
    bool drawsProgressLine() const { return !quiet_ && terminal_; }
    // Replaces the current progress line with text (from any thread); only when drawn.
    void showProgressLine(const std::string& text);
    // Called on every layout notification instead of the plate bar; empty: the bar again.
    void setLayoutWatcher(std::function<void()> watcher) { watcher_ = std::move(watcher); }

    const std::vector<Message>& messages() const { return messages_; }
    // Messages that say an output file could not be written.
    int outputFailures() const { return outputFailures_; }

private:
    bool quiet_;
    bool terminal_;
    int platesDone_ = 0;
    bool barShown_ = false;
    int outputFailures_ = 0;
    std::vector<Message> messages_;
    std::function<void()> watcher_;
    std::mutex errorStream_;
};

}  // namespace orvo::cli
