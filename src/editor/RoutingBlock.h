#pragma once

#include <QObject>

#include <array>

class EditorBox;
class QComboBox;
class QLineEdit;
class QSlider;
struct EditorContext;

// The middle block: the two pair modes, and per channel the gain slider,
// the delay, the input type and the output source.
class RoutingBlock : public QObject {
    Q_OBJECT

public:
    // Columns in dialog units. The lists take a whole column but one unit,
    // so that the narrow output lists show "Source-a" whole.
    static constexpr int left = 453;
    static constexpr int columnWidth = 45;

    explicit RoutingBlock(EditorContext& context, QObject* parent = nullptr);

    // Slider ranges from gainTop, then every control from the model. With
    // `channelCount` 2 the routing of CHC and CHD is left alone.
    void showParameters(int channelCount);
    // The gain boxes from the model (the values read), sending nothing.
    void showGainBoxes();
    void disableUpperChannels();

private:
    struct Column {
        QSlider* gainSlider = nullptr;
        QLineEdit* gainBox = nullptr;
        EditorBox* delayBox = nullptr;
        QComboBox* inputList = nullptr;
        QComboBox* outputList = nullptr;
    };

    void build();
    void pairChosen(int pair, int index);
    void gainMoved(int channel);
    void commitDelay(int channel);
    void inputChosen(int channel, int index);
    void outputChosen(int channel, int index);
    void setGainRange();
    void showRouting(int channel);

    EditorContext& context;
    std::array<QComboBox*, 2> pairLists{};
    std::array<Column, 4> columns;
};
