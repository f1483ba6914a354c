#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "nesting/nest_system.h"

namespace orvo::test {

// FNV-1a over every part's plateId, basePt, rotationAngle and mirrored in list order, bit
// for bit: two layouts have the same fingerprint only when every part stands exactly where
// it stood. The pinned layouts of the tests and the fingerprint column of
// bench/table_layouts are this value.
inline uint64_t layoutFingerprint(const NestSystem& ns)
{
    uint64_t h = 14695981039346656037ull;
    auto hashInto = [&h](const auto& value) {
        const auto bytes = std::bit_cast<std::array<unsigned char, sizeof value>>(value);
        for (unsigned char c : bytes) {
            h ^= c;
            h *= 1099511628211ull;
        }
    };
    for (const Part& part : ns.nestParts) {
        hashInto(part.plateId);
        hashInto(part.pose.basePt.x);
        hashInto(part.pose.basePt.y);
        hashInto(part.pose.rotationAngle);
        hashInto(static_cast<unsigned char>(part.pose.mirrored ? 1 : 0));
    }
    return h;
}

}  // namespace orvo::test
