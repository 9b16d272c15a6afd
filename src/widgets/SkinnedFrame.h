#pragma once

#include "widgets/SkinPictures.h"

#include <QList>
#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QSize>

#include <array>
#include <functional>
#include <optional>

class QWidget;
class QAbstractButton;

// The painted window frame as pure geometry: where the caption, its
// buttons, the strips and the resize grips of a window of a given outer size
// lie, and what a press does there.
namespace SkinFrame {

// The home page is resizable and draws the whole frame; the editor has a
// fixed size and narrower strips.
enum class Kind { HomePage, Editor };

// fx, fy: the frame's width and height; s: the caption's height.
struct Metrics {
    int fx = 8;
    int fy = 8;
    int s = 24;
    bool operator==(const Metrics&) const = default;
};

// From the platform's frame width and title-bar height (0 or less where the
// platform has none).
Metrics metricsFrom(int frameWidth, int titleBarHeight, Kind kind);
// From the window's style.
Metrics styleMetrics(const QWidget* window, Kind kind);

// What the frame adds around the client area.
QMargins clientMargins(const Metrics& m);

// Rectangles in window coordinates.
struct CaptionLayout {
    QRect caption;
    QRect icon;
    QRect close;
    QRect maximize;
    QRect minimize;
    QRect title;
};
CaptionLayout captionLayout(const Metrics& m, QSize outer);

// The caption band and the strips filled in the caption colour.
QList<QRect> captionFill(Kind kind, const Metrics& m, QSize outer);

enum class Button { Close, Maximize, Minimize };
std::optional<Button> buttonAt(const CaptionLayout& layout, QPoint at);
// The glyph of a button: the maximise button shows restore while maximised.
SkinPictures::Glyph glyphOf(Button button, bool maximised);

enum class Action { None, Close, Minimize, Maximize, Restore, Move };
// What a left press at `at` does; the first match wins. A maximised window
// cannot be dragged; a window that cannot grow is not maximised (its
// maximise button is inactive).
Action pressAction(const CaptionLayout& layout, QPoint at, bool maximised, bool canMaximise = true);
Action buttonAction(Button button, bool maximised, bool canMaximise = true);

// The edges and corners of a resizable window where a press resizes it.
struct Grip {
    Qt::Edges edges;
    QRect rect;
};
std::array<Grip, 8> gripRects(const Metrics& m, QSize outer);
// The geometry a resize from `start` by `delta` at `edges` gives, never
// smaller than `minimum` (the opposite edges stay put).
QRect resizedGeometry(const QRect& start, Qt::Edges edges, QPoint delta, QSize minimum);

// The window's clip: a rounded rectangle with 5 x 5 corner ellipses.
QRegion roundedRegion(QSize outer);

} // namespace SkinFrame

// Replaces a window's platform title bar with the painted caption: the icon,
// the title in white, minimise / maximise or restore / close buttons that
// light up under the pointer, the caption colour on the strips round the
// client area and rounded corners. Dragging the caption moves the window
// (not while maximised); the home page is resized at its edges.
//
// The caption buttons are real, if mouse-transparent, buttons: the
// accessibility interface sees and presses them. Alt+F4 closes and Alt+Space
// opens the window menu, so all of it is reachable from the keyboard.
//
// Install it on a window before the window is first shown. A window with a
// layout gets the frame as contents margins; the children of a window
// without one move into the client area and the window grows by the frame.
class SkinnedFrame : public QObject {
    Q_OBJECT

public:
    SkinnedFrame(QWidget* window, SkinFrame::Kind kind);

    // Composes the title at every caption paint (the editor's device line);
    // without it the window's own title is drawn.
    void setTitleSource(std::function<QString()> source);

    QWidget* window() const { return target; }
    SkinFrame::Kind kind() const { return frameKind; }
    SkinFrame::Metrics metrics() const { return m; }
    SkinFrame::CaptionLayout layout() const;
    std::optional<SkinFrame::Button> hoveredButton() const { return hovered; }
    QAbstractButton* button(SkinFrame::Button which) const;
    bool isMaximised() const;
    // The home page can grow; the editor has a fixed size, and its maximise
    // button and menu item are inactive.
    bool canMaximise() const;

    void perform(SkinFrame::Action action);
    // The keyboard's way to the caption buttons.
    void showWindowMenu();

    QPixmap buttonPicture(SkinFrame::Button which, qreal devicePixelRatio) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeChildren();
    void paintCaption();
    void setHovered(std::optional<SkinFrame::Button> button);
    void updateButtonNames();
    void startMove(const QPoint& globalPosition);
    friend class FrameGrip;
    void startResize(Qt::Edges edges, const QPoint& globalPosition);
    void dragTo(const QPoint& globalPosition);

    QWidget* target;
    SkinFrame::Kind frameKind;
    SkinFrame::Metrics m;
    std::function<QString()> titleSource;
    std::array<QAbstractButton*, 3> buttons{};
    std::array<QWidget*, 8> grips{};
    std::optional<SkinFrame::Button> hovered;
    // A move or resize the window does itself, where the window system
    // offers none.
    Qt::Edges dragEdges;
    bool dragging = false;
    QPoint dragStart;
    QRect dragGeometry;
};
