#pragma once

#include <string>
#include <vector>

#include "base/platform.h"
#include "geometry/point.h"

namespace orvo::cli {

// The platform of the batch command: messages on standard error as "caption: text",
// the Layout All progress as a bar on a terminal or as plain lines otherwise.
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
    void setStatusText(const std::string&) override {}
    double monotonicSeconds() override;
    std::tm localTime() override;
    void openInViewer(const std::string& path) override;

    // Ends the progress bar's line; call after a layout.
    void finishProgress();

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
};

}  // namespace orvo::cli
