#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "base/platform.h"
#include "geometry/point.h"

namespace orvo::fuzz {

// A platform that answers every call at once and keeps the message texts, so that a
// fuzz target can check how many messages an input raised.
class CountingPlatform : public Platform {
public:
    void showMessage(const std::string& text, const std::string&) override
    {
        messages.push_back(text);
    }
    void setWorldBoxAndFit(const BoundingBox&) override {}
    void repaintNow() override {}
    void setProgressPercent(int) override {}
    void setStatusText(const std::string&) override {}
    double monotonicSeconds() override { return 0.0; }
    std::tm localTime() override { return std::tm{}; }
    void openInViewer(const std::string&) override {}

    std::vector<std::string> messages;
};

}  // namespace orvo::fuzz
