#pragma once

#include <QColor>
#include <QPixmap>
#include <QSize>

// The pictures of the skinned frame and the skinned scroll bars, drawn in code
// at the device pixel ratio they are shown at, so they stay sharp at any
// scaling. Sizes are in device-independent pixels.
namespace SkinPictures {

inline constexpr QRgb captionColour = qRgb(4, 181, 207);
inline constexpr QRgb titleColour = qRgb(255, 255, 255);
inline constexpr QRgb clientColour = qRgb(192, 236, 243);
inline constexpr QRgb closeHoverColour = qRgb(207, 31, 30);
inline constexpr QRgb buttonHoverColour = qRgb(80, 203, 221);

inline constexpr QSize buttonSize{23, 23};
inline constexpr QSize iconSize{16, 15};

enum class Glyph { Close, Maximize, Restore, Minimize };

// A white glyph on the caption colour; hovered, the glyph sits on a filled
// circle (red for close, light blue for the others). An inactive button's
// glyph is faded into the caption.
QPixmap captionButton(Glyph glyph, bool hovered, qreal devicePixelRatio, bool active = true);
QPixmap applicationIcon(qreal devicePixelRatio);

// The scroll-bar skin: 9 columns x 3 rows (normal, hover, pressed) of square
// cells of scrollCell pixels. Columns 0-3 the vertical bar's up arrow, down
// arrow, thumb and track, 4-7 the same for the horizontal bar (left, right),
// 8 the corner piece (row 0 bottom right, row 1 bottom left).
inline constexpr int scrollCell = 13;
inline constexpr int scrollColumns = 9;
inline constexpr int scrollRows = 3;
QPixmap scrollSkin(qreal devicePixelRatio);

} // namespace SkinPictures
