#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "base/platform.h"
#include "geometry/point.h"

namespace orvo::test {

// Records every call of the core to its platform, for assertions; the clock advances
// by a fixed step per reading and the local time is fixed, so runs are repeatable.
class RecordingPlatform : public Platform {
public:
    struct Message {
        std::string text;
        std::string caption;
    };

    void showMessage(const std::string& text, const std::string& caption) override
    {
        messages.push_back({text, caption});
    }
    void setWorldBoxAndFit(const BoundingBox& world) override { worldBoxes.push_back(world); }
    void repaintNow() override { ++repaints; }
    void setProgressPercent(int percent) override { percents.push_back(percent); }
    void setStatusText(const std::string& text) override { statusTexts.push_back(text); }
    double monotonicSeconds() override
    {
        clock += clockStep;
        return clock;
    }
    std::tm localTime() override { return fixedTime; }
    void openInViewer(const std::string& path) override { openedFiles.push_back(path); }

    // Forgets every call recorded so far; the clock and the fixed time stay.
    void clear()
    {
        messages.clear();
        worldBoxes.clear();
        repaints = 0;
        percents.clear();
        statusTexts.clear();
        openedFiles.clear();
    }

    std::vector<Message> messages;
    std::vector<BoundingBox> worldBoxes;
    int repaints = 0;
    std::vector<int> percents;
    std::vector<std::string> statusTexts;
    std::vector<std::string> openedFiles;
    double clock = 0.0;
    double clockStep = 0.25;
    std::tm fixedTime = makeTime(2026, 12, 8, 9, 5, 7);

    static std::tm makeTime(int year, int month, int day, int hour, int minute, int second)
    {
        std::tm t{};
        t.tm_year = year - 1900;
        t.tm_mon = month - 1;
        t.tm_mday = day;
        t.tm_hour = hour;
        t.tm_min = minute;
        t.tm_sec = second;
        return t;
    }
};

}  // namespace orvo::test
