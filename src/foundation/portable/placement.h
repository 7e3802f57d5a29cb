// Where a window goes when it is centred over another: plain arithmetic on
// rectangles, kept apart from the window calls so that it is tested natively.
#pragma once

struct ScreenArea {
    long left, top, right, bottom;
};
struct ScreenPoint {
    long x, y;
};

/// Top-left corner of a window of the given size centred over `reference` (odd differences truncate).
ScreenPoint CenteredPosition(const ScreenArea& reference, long width, long height);
