#pragma once

#include <QObject>

class ArrowButtons;
class EditorBox;
class QCheckBox;
class QComboBox;
class QPushButton;
struct EditorContext;

// The row under the EQ graph: channel and band lists, the band's gain,
// frequency, Q and type, EQ Bypass and RESET-EQ.
class EqRow : public QObject {
    Q_OBJECT

public:
    explicit EqRow(EditorContext& context, QObject* parent = nullptr);

    // The band display: the selected band in the boxes, the type list, the
    // box enabling. After a read the gain is shown as a whole number; with
    // the port closed frequency and gain come from the band's marker.
    void showBand(bool afterRead);
    // A press over the graphs: the band it picked, or the current band when
    // it picked none, in the band list and the boxes.
    void showPickedBand(int band);
    // The selected band's marker was dragged: the band takes the marker's
    // frequency and (for types with a gain) its gain, the boxes show them and
    // the band frame goes out. The window repaints the graph.
    void bandDragged();
    // Two-channel amplifiers: only CHA and CHB in the channel list.
    void limitToTwoChannels();

    // What the row shows: the chosen channel and band, EQ Bypass and the
    // entry of the type list (an EqFilterType).
    int channel() const;
    int band() const;
    bool bypassed() const;
    int typeShown() const;

private:
    void build();
    void selectionChanged();
    void commitGain();
    void commitFrequency();
    void commitQ();
    void qArrowsMoved(int position);
    void bypassClicked(bool checked);
    void typeChosen(int index);
    void resetEq();
    // Gain and Q boxes by type; bands without a gain sit on the 0 dB line.
    void applyTypeRule();

    EditorContext& context;
    QComboBox* channelList = nullptr;
    QComboBox* bandList = nullptr;
    EditorBox* gainBox = nullptr;
    EditorBox* frequencyBox = nullptr;
    EditorBox* qBox = nullptr;
    ArrowButtons* qArrows = nullptr;
    QCheckBox* bypassBox = nullptr;
    QComboBox* typeList = nullptr;
    QPushButton* resetButton = nullptr;
};
