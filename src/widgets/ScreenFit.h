#pragma once

#include <QRect>
#include <QSize>

#include <functional>

class QWidget;

// Keeps a window whole on a screen smaller than the window: the window is
// made as large as the screen's free area allows and placed inside it, and
// what no longer fits scrolls. A window that fits is left exactly as it is.
namespace ScreenFit {

// The free area of the screen a window shows on (without panels and docks).
// Tests set their own; an empty function restores the screen's.
using AreaSource = std::function<QRect(const QWidget*)>;
void setAvailableArea(AreaSource source);
QRect availableArea(const QWidget* window);

// The size of a scrolled view of `content` within `room`: as large as the
// content plus the bars it needs (a bar of `bar` pixels across each
// direction that does not fit), no larger than the room.
QSize scrolledViewSize(QSize content, QSize room, int bar);

// Moves `frame` inside `area`; a frame larger than the area keeps its top
// left corner, and with it the caption, in the area.
QRect placedInside(const QRect& frame, const QRect& area);

// Fits `window` to its screen's free area each time it is shown. With
// `content` (a widget of the window's layout, sized by itself), a window
// too large puts that content into a view with the skinned scroll bars and
// takes the view's size; without, the window itself shrinks (it lowers its
// minimum size as far as needed) and its own layout follows.
void keepOnScreen(QWidget* window, QWidget* content = nullptr);

} // namespace ScreenFit
