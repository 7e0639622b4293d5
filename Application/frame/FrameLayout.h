// The frame's three areas: the status line takes its strip of the whole client area
// first (top or bottom), the toolbar then takes a strip of what is left (any side), and
// the document area gets the rest. So the status line always spans the full width.
#pragma once

#include <functional>

namespace varlin {

struct LayoutRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const LayoutRect&) const = default;
};

struct FrameAreas {
    LayoutRect status;   // height 0 when hidden
    LayoutRect buttons;  // width or height 0 when hidden
    LayoutRect client;
};

// Lays the toolbar's buttons out along a side of the given length and returns the bar's
// thickness (its width when vertical, its height when horizontal).
using ArrangeButtons = std::function<int(bool vertical, int available)>;

// statusLocation: 0 hidden, 1 top, 2 bottom. buttonsLocation: 1 left, 2 right, 3 top,
// 4 bottom, anything else hidden.
FrameAreas LayoutFrameAreas(LayoutRect client, int statusLocation, int statusHeight,
                            int buttonsLocation, const ArrangeButtons& arrange);

}  // namespace varlin
