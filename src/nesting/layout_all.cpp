#include "nesting/layout_all.h"

#include <cmath>
#include <iterator>
#include <string>

#include "base/number_text.h"
#include "base/platform.h"
#include "base/text_encoding.h"
#include "base/text_file.h"
#include "nesting/gravity.h"
#include "nesting/multistep.h"

namespace orvo {

namespace {

constexpr const char* kTimingFailed = "记录排样计算时间的文件输出失败!";

bool layoutPlate(NestSystem& ns, LayoutMethod method, const Plate& p, GravityLayoutMemo& memo)
{
    return method == LayoutMethod::Gravity ? gravityLayoutPlate(ns, p, memo)
                                           : multiStepLayoutPlate(ns, p);
}

std::string timingText(double seconds)
{
    if (seconds > 1.0) return "排样计算时间为:" + formatFixed(seconds, 2) + " 秒";
    return "排样计算时间为:" + formatFixed(seconds * 1000.0, 2) + " 毫秒";
}

// The plates fill columns of platesPerColumn from y = 0 upwards; the columns grow to the
// left of x = 0, away from the parked parts.
Plate& appendLayoutPlate(NestSystem& ns, int32_t i)
{
    Plate plate = ns.createPlate(i, ns.plateLength, ns.plateWidth);
    const int32_t perColumn = ns.platesPerColumn > 0 ? ns.platesPerColumn : 1;
    const double dx = (ns.plateLength + ns.plateSpacing) * (-(i / perColumn) - 1);
    const double dy = (ns.plateWidth + ns.plateSpacing) * (i % perColumn);
    translatePlate(plate, dx, dy);
    ns.plates.push_back(plate);
    return ns.plates.back();
}

// Placed share of the total net area, truncated; 100 only once every part is placed
// (rounding or parts without area could otherwise claim it early).
int progressPercent(const NestSystem& ns, double total)
{
    const bool allPlaced = ns.unplacedCount() == 0;
    if (!(total > 0.0)) return allPlaced ? 100 : 0;
    const double share = ns.placedArea() / total * 100.0;
    int percent = share >= 100.0 ? 100 : share > 0.0 ? static_cast<int>(share) : 0;
    if (!allPlaced && percent > 99) percent = 99;
    return percent;
}

void reportProgress(NestSystem& ns, double total)
{
    Platform& platform = ns.platform();
    platform.setWorldBoxAndFit(ns.platesBox());
    platform.repaintNow();
    const int percent = progressPercent(ns, total);
    platform.setProgressPercent(percent);
    platform.setStatusText("排样中... " + std::to_string(percent) + "%");
}

void removeEmptyLastPlate(NestSystem& ns)
{
    if (ns.plates.empty() || !ns.plateIsEmpty(ns.plates.back())) return;
    Plate* before = nullptr;
    if (ns.plates.size() > 1) before = &*std::prev(ns.plates.end(), 2);
    ns.plates.pop_back();
    ns.activePlate = before;
}

}  // namespace

const char* timingFileName(LayoutMethod method)
{
    return method == LayoutMethod::Gravity ? "重力排样计算时间.txt" : "多步排样计算时间.txt";
}


void layoutAll(NestSystem& ns, LayoutMethod method, const std::atomic<bool>* stop)
{
    Platform& platform = ns.platform();
    // A missing timing file costs only the timing: warn and lay out all the same. It is
    // created before the layout, so that the warning comes first, and replaces the
    // previous file only when it has been written whole.
    const std::string timingPath = ns.outputPath(timingFileName(method));
    ReplacingFile timingFile(timingPath);
    if (!timingFile.isOpen()) {
        platform.showMessage(fileFailureText(kTimingFailed, timingPath, timingFile.error()),
                             kCaptionWarning);
    }

    ns.resetLayout();
    ns.clearPlates();
    ns.releasePackingPoints();  // a grid left by a per-plate button belongs to a plate now gone
    const double total = ns.totalArea();
    const double start = platform.monotonicSeconds();

    const auto stopped = [stop] { return stop != nullptr && stop->load(); };
    GravityLayoutMemo memo;  // what the plates of the gravity layout share about the parts
    int32_t i = 0;
    for (;;) {
        if (stopped()) return;  // the timing file is discarded with its half-written copy
        const int32_t n = ns.unplacedCount();
        if (n > 0) {
            Plate& plate = appendLayoutPlate(ns, i);
            layoutPlate(ns, method, plate, memo);
            ++i;
            ns.activePlate = &plate;
            reportProgress(ns, total);
        }
        const int32_t m = ns.unplacedCount();
        if (m == 0 || m == n) break;
    }
    removeEmptyLastPlate(ns);

    const double seconds = platform.monotonicSeconds() - start;
    if (timingFile.isOpen() && !(timingFile.write(utf8ToGbk(timingText(seconds)) + "\r\n") &&
                                 timingFile.commit())) {
        platform.showMessage(fileFailureText(kTimingFailed, timingPath, timingFile.error()),
                             kCaptionWarning);
    }
}

}  // namespace orvo
