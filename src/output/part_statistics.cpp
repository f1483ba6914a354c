#include "output/part_statistics.h"

#include <charconv>
#include <cstdio>
#include <memory>

#include "base/number_text.h"
#include "base/platform.h"
#include "base/text_file.h"
#include "nesting/nest_system.h"

namespace orvo {

namespace {

struct ClassSum {
    int32_t count = 0;
    double area = 0.0;

    void add(double a)
    {
        ++count;
        area += a;
    }
};

// printf's "%<width>s": right-aligned, never cut.
std::string padLeft(std::string text, size_t width)
{
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

std::string classRow(const char* name, const ClassSum& sum, double total)
{
    // With no parts every ratio would be 0/0; the table shows 0.0 % for an empty class.
    const double percent = total > 0.0 ? sum.area / total * 100.0 : 0.0;
    return padLeft(name, 15) + padLeft(std::to_string(sum.count), 15) +
           padLeft(formatG(sum.area, 3), 15) + padLeft(formatFixed(percent, 1), 14) + "%\r\n";
}

}  // namespace

bool writePartStatistics(NestSystem& ns, const std::string& path)
{
    double total = 0.0;
    for (Part& part : ns.nestParts) total += contourArea(part.outer);

    ClassSum big, medium, small, square, bigSquare;
    for (Part& part : ns.nestParts) {
        const double a = contourArea(part.outer);
        const double r = part.fillRatio;
        if (a >= ns.bigArea) {
            big.add(a);
        } else if (a >= ns.mediumArea) {
            medium.add(a);
        } else {
            small.add(a);
        }
        if (r >= ns.squareFill) square.add(a);
        if (a >= ns.bigArea && r >= ns.squareFill) bigSquare.add(a);
    }

    std::string text = "PartQuantity = " + std::to_string(ns.nestParts.size()) +
                       ", OrAreaOfAllPartsArea = " + formatG(total, 3) + "\r\n";
    text += padLeft(" ", 15) + padLeft("Quantity", 15) + padLeft("OrArea", 15) +
            padLeft("AreaRatio", 15) + "\r\n";
    text += classRow("BigPart", big, total);
    text += classRow("MediumPart", medium, total);
    text += classRow("SmallPart", small, total);
    text += classRow("SquarePart", square, total);
    text += classRow("Big&SquarePart", bigSquare, total);
    std::string error;
    if (writeWholeFile(path, text, &error)) return true;
    ns.platform().showMessage(fileFailureText("零件信息文件输出错误!", path, error), kCaptionWarning);
    return false;
}

}  // namespace orvo
