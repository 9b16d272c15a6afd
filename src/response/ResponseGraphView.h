#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

// A graph area: every paint draws the whole graph into an off-screen image
// of the area's size in the screen's pixels and copies it over, so a repaint
// never flickers. Mouse events pass through to the window, which does the
// marker editing.
class ResponseGraphView : public QWidget {
    Q_OBJECT

public:
    using Painter = std::function<void(QImage&)>;

    explicit ResponseGraphView(QWidget* parent = nullptr);
    void setPainter(Painter painter);
    // The picture of the last paint.
    const QImage& image() const { return picture; }
    // Draws the graph into the image without touching the screen.
    const QImage& render();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Painter paint;
    QImage picture;
};
