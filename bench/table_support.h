#pragma once

// What the layout tables share: a platform that prints messages and reads the real clock,
// and the legality check of a layout.

#include <chrono>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <string>

#include "base/platform.h"
#include "geometry/overlap.h"
#include "nesting/nest_system.h"

namespace orvo::bench {

class SilentPlatform : public Platform {
public:
    void showMessage(const std::string& text, const std::string& caption) override
    {
        std::fprintf(stderr, "  [%s] %s\n", caption.c_str(), text.c_str());
    }
    void setWorldBoxAndFit(const BoundingBox&) override {}
    void repaintNow() override {}
    void setProgressPercent(int) override {}
    void setStatusText(const std::string&) override {}
    double monotonicSeconds() override
    {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    }
    std::tm localTime() override { return std::tm{}; }
    void openInViewer(const std::string&) override {}
};

// Every placed part inside its plate's inner box and disjoint from every other part on
// its plate: a yes or no, where the tests report each fault.
inline bool layoutIsLegal(const NestSystem& ns)
{
    for (auto a = ns.nestParts.begin(); a != ns.nestParts.end(); ++a) {
        if (a->plateId == -1) continue;
        const Plate* p = ns.findPlate(a->plateId);
        if (p == nullptr || !boxInsideRect(*a, p->innerBox)) return false;
        for (auto b = std::next(a); b != ns.nestParts.end(); ++b) {
            if (b->plateId == a->plateId && !partsDisjoint(*a, *b)) return false;
        }
    }
    return true;
}

}  // namespace orvo::bench
