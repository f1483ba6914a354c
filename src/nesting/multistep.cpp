#include "nesting/multistep.h"

#include "nesting/gravity.h"
#include "nesting/matching.h"
#include "nesting/push.h"
#include "nesting/stacking.h"

namespace orvo {

namespace {

// One per-plate run: the whole layout of a new plate, or the MultiSteps button, which
// works on the selected parts only.
struct MultiStepRun {
    MultiStepRun(NestSystem& system, const Plate& plate, bool selected)
        : ns(system), p(plate), selectedOnly(selected)
    {
    }

    NestSystem& ns;
    const Plate& p;
    bool selectedOnly;
    double free = 0.0;
    double plateArea = 0.0;
    PartList failed;

    bool considers(const Part& part) const { return !selectedOnly || part.selected; }
    bool waiting(const Part& part) const { return part.plateId == -1 && considers(part); }
    bool affordable(const Part& part) const { return free >= part.netArea; }

    void firstBigPart()
    {
        if (!ns.plateIsEmpty(p)) return;
        for (Part& part : ns.nestParts) {
            if (!waiting(part)) continue;
            // The button compares the net area, the full layout the outer contour's area.
            const double size = selectedOnly ? part.netArea : part.outer.area;
            if (size <= 0.25 * plateArea) return;
            if (placeFirstBig(ns, p, part)) {
                free -= part.netArea;
                return;
            }
        }
    }

    // Passes 1 to 3: failures are not recorded, passes 4 and 5 meet the parts again.
    template <typename Place>
    void largePass(int32_t pass, Place place)
    {
        for (Part& part : ns.nestParts) {
            if (!waiting(part) || !multiStepPassTakes(ns, part, pass) || !affordable(part)) {
                continue;
            }
            if (place(part)) free -= part.netArea;
        }
    }

    // Passes 4 and 5: a part no smaller and no fuller than a failed one is not tried.
    template <typename Place>
    void recordedPass(int32_t pass, Place place)
    {
        for (Part& part : ns.nestParts) {
            if (!waiting(part) || !multiStepPassTakes(ns, part, pass) || !affordable(part) ||
                !isNewFailure(part, failed)) {
                continue;
            }
            if (place(part)) {
                free -= part.netArea;
            } else {
                failed.push_back(part);
            }
        }
    }

    void compact()
    {
        for (Part& part : ns.nestParts) {
            if (part.plateId != p.id || !considers(part)) continue;
            pushOnPlate(ns, part, p, Direction::Left);
            pushOnPlate(ns, part, p, Direction::Down);
        }
    }

    void run()
    {
        const double tol = ns.matchTolerance;
        ns.generatePackingPoints(p);
        free = ns.plateFreeArea(p);
        plateArea = boxArea(p.outerBox);

        firstBigPart();
        auto stack = [&](Part& part) { return stackPlace(ns, p, part); };
        largePass(1, stack);
        largePass(2, stack);
        largePass(3, [&](Part& part) {
            return matchOrStackStrict(ns, p, part, tol) || stackPlace(ns, p, part);
        });
        failed.clear();
        auto cascade = [&](Part& part) { return matchOrStack(ns, p, part, tol); };
        recordedPass(4, cascade);

        compact();
        ns.generatePackingPoints(p);  // the parts have moved
        failed.clear();
        recordedPass(5, [&](Part& part) {
            return isSmallSquarePart(ns, part) ? gravityPlace(ns, p, part) : cascade(part);
        });
    }
};

}  // namespace

bool multiStepPassTakes(const NestSystem& ns, const Part& part, int32_t pass)
{
    const double area = part.outer.area;
    switch (pass) {
    case 1: return area >= ns.hugeArea && part.fillRatio >= ns.hugeFill;
    case 2: return area >= ns.bigArea && area < ns.hugeArea && part.fillRatio >= ns.squareFill;
    case 3: return area >= ns.bigArea;
    case 4: return area >= ns.mediumArea;
    case 5: return true;
    default: return false;
    }
}

bool isSmallSquarePart(const NestSystem& ns, const Part& part)
{
    return part.outer.area <= ns.smallArea && part.fillRatio >= 0.9;
}

bool multiStepLayoutPlate(NestSystem& ns, const Plate& p)
{
    preRotateOversize(ns, p);
    MultiStepRun run{ns, p, false};
    run.run();
    ns.releasePackingPoints();
    return !ns.plateIsEmpty(p);
}

bool multiStepSelected(NestSystem& ns, const Plate& p)
{
    const int32_t before = ns.unplacedCount();
    MultiStepRun run{ns, p, true};
    run.run();
    return before != ns.unplacedCount();
}

}  // namespace orvo
