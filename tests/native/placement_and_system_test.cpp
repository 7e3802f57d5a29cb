// Pure rules of the start: which systems are refused, and where a centred window goes.
#include <gtest/gtest.h>

#include "foundation/portable/placement.h"
#include "startup/portable/system_rules.h"

namespace {

TEST(CenteredPosition, FollowsTheReference) {
    struct Case {
        ScreenArea reference;
        long width, height;
        long x, y;
    } cases[] = {
        {{0, 0, 800, 640}, 400, 300, 200, 170},    // the fixed fallback area
        {{100, 50, 900, 650}, 1000, 200, 0, 250},  // wider than the reference: 100 left of its edge
        {{10, 10, 20, 20}, 3, 3, 13, 13},          // odd differences truncate
    };
    for (const Case& c : cases) {
        const ScreenPoint at = CenteredPosition(c.reference, c.width, c.height);
        EXPECT_EQ(at.x, c.x);
        EXPECT_EQ(at.y, c.y);
    }
}

TEST(IsRefusedSystem, RefusesEverythingBeforeWindows2000) {
    struct Case {
        unsigned long platform, major;
        bool refused;
    } cases[] = {
        {kPlatformWin32s, 3, true},  {kPlatformWindows9x, 4, true}, {kPlatformNt, 3, true},
        {kPlatformNt, 4, true},      {kPlatformNt, 5, false},       {kPlatformNt, 6, false},
        {kPlatformNt, 10, false},    {3, 5, false},  // an unknown platform (CE) is not refused by the version
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsRefusedSystem(c.platform, c.major), c.refused) << c.platform << " " << c.major;
}

}  // namespace
