#pragma once

#include <QList>
#include <QRect>

namespace stopky {

// Where a window goes whose stored outer bounds (from qx.ini) may lie off every screen: a
// display that was unplugged, a resolution that went down, a hand-edited file.
//
// The bounds stay as they are while a part of the window of at least kMinVisibleWidth ×
// kMinVisibleHeight pixels lies on one of the screens (enough to grab it and pull it back).
// Otherwise the window goes onto the primary screen: no larger than that screen, and moved by
// as little as it takes to lie wholly on it. `screens` and `primary` are the screens' available
// areas (without panels and docks); with no screen known the bounds stay.
inline constexpr int kMinVisibleWidth = 40;
inline constexpr int kMinVisibleHeight = 20;

QRect placeOnScreen(const QRect& outer, const QList<QRect>& screens, const QRect& primary);

} // namespace stopky
