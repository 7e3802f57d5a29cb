#include "foundation/portable/placement.h"

ScreenPoint CenteredPosition(const ScreenArea& reference, long width, long height) {
    const long referenceWidth = reference.right - reference.left;
    const long referenceHeight = reference.bottom - reference.top;
    return ScreenPoint{reference.left + (referenceWidth - width) / 2, reference.top + (referenceHeight - height) / 2};
}
