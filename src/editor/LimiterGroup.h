#pragma once

#include <QObject>

#include <array>

class EditorBox;
class QComboBox;
class QSlider;
struct EditorContext;

// The "Limiter" group: its channel list and the threshold, attack and
// release sliders with their boxes. The sliders show the chosen channel.
class LimiterGroup : public QObject {
    Q_OBJECT

public:
    // Under the middle block's columns, as wide as they are.
    static constexpr int left = 453;
    static constexpr int top = 212;
    static constexpr int width = 179;
    static constexpr int height = 189;

    enum Kind { Threshold, Attack, Release };

    explicit LimiterGroup(EditorContext& context, QObject* parent = nullptr);
    QString title() const;

    // The threshold range from gainTop, then the chosen channel's values,
    // sending nothing.
    void showParameters();

private:
    struct Control {
        QSlider* slider = nullptr;
        EditorBox* box = nullptr;
    };

    void build();
    void channelChosen(int index);
    // Moves the sliders to the chosen channel's values.
    void moveSliders();
    void sliderMoved(Kind kind);
    void commitBox(Kind kind);
    int& stored(Kind kind);
    QByteArray frame(Kind kind, int value, bool fromBox) const;

    EditorContext& context;
    QComboBox* channelList = nullptr;
    std::array<Control, 3> controls;
};
