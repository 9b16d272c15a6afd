#pragma once

#include "widgets/CSkinScrollBar.h"

#include <QObject>
#include <QPixmap>
#include <QPointer>

class QAbstractScrollArea;
class QWidget;

namespace SkinScroll {

// Where the corner piece goes: none, bottom left (the vertical bar on the
// left, right-to-left layouts), bottom right.
enum CornerMode { NoCorner = 0, BottomLeft = 1, BottomRight = 2 };
CornerMode cornerMode(bool verticalShown, bool horizontalShown, bool verticalOnLeft);
// The skin row of the corner cell for a mode (-1: nothing drawn).
int cornerRow(CornerMode mode);

} // namespace SkinScroll

// Gives a scroll area skinned scroll bars in place of its own. The area's
// scroll state stays the one source of truth: the skinned bars are the
// area's own bars (shown when it needs them, enabled while there is
// something to scroll), and the corner where they meet shows the skin's
// corner piece. Lives as long as the area.
class CSkinScrollWnd : public QObject {
    Q_OBJECT

public:
    // The ids the two bars are known by (their object names).
    static constexpr int horizontalId = 100;
    static constexpr int verticalId = 101;

    // A null skin takes the home page's picture at the area's pixel ratio.
    static CSkinScrollWnd* skinWindow(QAbstractScrollArea* area, const QPixmap& skin = QPixmap());

    QAbstractScrollArea* area() const { return hosted; }
    CSkinScrollBar* verticalBar() const { return vertical; }
    CSkinScrollBar* horizontalBar() const { return horizontal; }
    QWidget* corner() const { return cornerPiece; }
    SkinScroll::CornerMode cornerMode() const;
    QPixmap skin() const { return picture; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CSkinScrollWnd(QAbstractScrollArea* area, const QPixmap& skin);
    void applySkin(const QPixmap& skin);
    // Shows the corner piece where the two bars meet, while both are shown.
    void placeCorner();

    // The frame is the area's child and never outlives it.
    QAbstractScrollArea* hosted = nullptr;
    // The bars go with the area's children, before the frame.
    QPointer<CSkinScrollBar> vertical;
    QPointer<CSkinScrollBar> horizontal;
    QWidget* cornerPiece = nullptr;
    QPixmap picture;
    bool defaultSkin = false;
};
