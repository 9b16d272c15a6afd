#pragma once

#include <QSlider>

// A vertical slider whose top is its minimum position, as the amplifier's
// value mappings count, drawn as a fader is read: the groove fills from the
// bottom up to the handle, so a low value shows little fill. Positions,
// keys, wheel and mouse work as on any slider with inverted appearance and
// controls; only the fill is drawn the other way round.
class FaderSlider : public QSlider {
    Q_OBJECT

public:
    explicit FaderSlider(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
