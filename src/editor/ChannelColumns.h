#pragma once

#include <QObject>
#include <QRect>

#include <array>

class QCheckBox;
class QLineEdit;
class QSlider;
struct EditorContext;
struct MonitorTexts;

// The four channel columns "CHA".."CHD": mute, volume, invert and the
// three live readings.
class ChannelColumns : public QObject {
    Q_OBJECT

public:
    static constexpr int left = 634;
    static constexpr int columnWidth = 43;
    // A unit apart: "Temperature" needs all of the inside.
    static constexpr int frameWidth = columnWidth - 1;
    static constexpr int top = 6;
    static constexpr int height = 288;

    explicit ChannelColumns(EditorContext& context, QObject* parent = nullptr);

    // The frame of a column, in dialog units.
    static QRect frameUnits(int channel) { return {left + columnWidth * channel, top, frameWidth, height}; }

    void showParameters();
    // The volume boxes from the model (the values read), sending nothing.
    void showVolumeBoxes();
    void showReadings(const MonitorTexts& texts);
    void disableUpperChannels();

private:
    struct Column {
        QCheckBox* muteBox = nullptr;
        QSlider* volumeSlider = nullptr;
        QLineEdit* volumeBox = nullptr;
        QCheckBox* invertBox = nullptr;
        QLineEdit* voltageBox = nullptr;
        QLineEdit* currentBox = nullptr;
        QLineEdit* temperatureBox = nullptr;
    };

    void build();
    void volumeMoved(int channel);
    void muteClicked(int channel, bool checked);
    void invertClicked(int channel, bool checked);

    EditorContext& context;
    std::array<Column, 4> columns;
};
