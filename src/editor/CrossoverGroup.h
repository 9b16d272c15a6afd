#pragma once

#include <QObject>

#include <array>

class ArrowButtons;
class EditorBox;
class QComboBox;
struct EditorContext;

// The "General filter" group beside the crossover graph: its own channel
// list and the high-pass and low-pass type and corner frequency.
class CrossoverGroup : public QObject {
    Q_OBJECT

public:
    // Group frame in dialog units.
    static constexpr int left = 327;
    static constexpr int top = 281;
    static constexpr int width = 124;
    static constexpr int height = 120;

    explicit CrossoverGroup(EditorContext& context, QObject* parent = nullptr);
    QString title() const;

    // The crossover display for the chosen channel; places its markers.
    void showChannel();
    void limitToTwoChannels();
    // A corner marker of the chosen channel was dragged: the corner takes the
    // marker's frequency, the box and arrows show it and its frame goes out.
    void cornerDragged(int side);
    // The channel chosen in the group's list.
    int channel() const;

private:
    struct Side {
        QComboBox* typeList = nullptr;
        EditorBox* frequencyBox = nullptr;
        ArrowButtons* arrows = nullptr;
    };

    void build();
    void channelChosen();
    void typeChosen(int side, int index);
    void commitFrequency(int side);
    void arrowsMoved(int side, int position);
    void storeFrequency(int side, int frequencyHz);

    EditorContext& context;
    QComboBox* channelList = nullptr;
    std::array<Side, 2> sides; // high-pass, low-pass
};
