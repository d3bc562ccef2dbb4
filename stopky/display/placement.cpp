#include "placement.h"

#include <algorithm>

namespace stopky {

QRect placeOnScreen(const QRect& outer, const QList<QRect>& screens, const QRect& primary) {
    for (const QRect& s : screens) {
        const QRect seen = s.intersected(outer);
        if (seen.width() >= kMinVisibleWidth && seen.height() >= kMinVisibleHeight) return outer;
    }
    if (!primary.isValid()) return outer;
    const int w = std::clamp(outer.width(), 1, primary.width());
    const int h = std::clamp(outer.height(), 1, primary.height());
    const int x = std::clamp(outer.x(), primary.left(), primary.left() + primary.width() - w);
    const int y = std::clamp(outer.y(), primary.top(), primary.top() + primary.height() - h);
    return {x, y, w, h};
}

} // namespace stopky
