// Which installed version the Welcome page removes first.
#include <gtest/gtest.h>

#include "engine/portable/previous_version_rules.h"

namespace {

TEST(PreviousVersion, OnlyVersionsUpToTheRemovableOneAreRemoved) {
    const struct {
        const char* installed;
        int status;
        bool removable;
    } cases[] = {
        {"1.2.2", 1, true},
        {"1.1", 1, true},
        {"1.2.1.9", 1, true},
        {"release 1.2", 1, true},  // only digits and dots count
        {"beta", 1, true},         // no digits at all: older than anything
        {"", 1, true},             // an empty value was read all the same
        {"1.2.3", 1, false},
        {"1.3", 1, false},
        {"1.2.10", 1, false},      // components compare as numbers
        {"1.2.2.0", 1, false},     // more components: newer
        {"1.2.2", 0, false},       // absent: nothing to remove
        {"0", -1, true},           // a failed read counts as read, with its default text
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.installed << "\" status " << c.status);
        EXPECT_EQ(IsRemovableVersion(c.installed, c.status), c.removable);
    }
}

}  // namespace
