// LayoutFrame's arithmetic, apart from the widgets it moves.
#include "frame/FrameLayout.h"

#include <algorithm>

namespace varlin {

FrameAreas LayoutFrameAreas(LayoutRect r, int statusLocation, int statusHeight,
                            int buttonsLocation, const ArrangeButtons& arrange) {
    FrameAreas areas;
    const int sh = std::clamp(statusHeight, 0, std::max(r.height, 0));
    switch (statusLocation) {
    case 1:
        areas.status = {r.x, r.y, r.width, sh};
        r.y += sh;
        r.height -= sh;
        break;
    case 2:
        areas.status = {r.x, r.y + r.height - sh, r.width, sh};
        r.height -= sh;
        break;
    default: areas.status = {r.x, r.y, r.width, 0}; break;
    }
    const bool vertical = buttonsLocation == 1 || buttonsLocation == 2;
    const bool horizontal = buttonsLocation == 3 || buttonsLocation == 4;
    int thickness = 0;
    if ((vertical || horizontal) && arrange) thickness = arrange(vertical, vertical ? r.height : r.width);
    thickness = std::clamp(thickness, 0, std::max(vertical ? r.width : r.height, 0));
    switch (buttonsLocation) {
    case 1:
        areas.buttons = {r.x, r.y, thickness, r.height};
        r.x += thickness;
        r.width -= thickness;
        break;
    case 2:
        areas.buttons = {r.x + r.width - thickness, r.y, thickness, r.height};
        r.width -= thickness;
        break;
    case 3:
        areas.buttons = {r.x, r.y, r.width, thickness};
        r.y += thickness;
        r.height -= thickness;
        break;
    case 4:
        areas.buttons = {r.x, r.y + r.height - thickness, r.width, thickness};
        r.height -= thickness;
        break;
    default: areas.buttons = {r.x, r.y, r.width, 0}; break;
    }
    areas.client = r;
    return areas;
}

}  // namespace varlin
