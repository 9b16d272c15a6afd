#pragma once

#include "presets/PresetSlots.h"

#include <QDialog>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SerialLink;

// The preset-slot dialog: reads a slot's name, stores the amplifier's
// settings into a slot under a name, recalls a slot and clears every slot.
// It talks to the amplifier of SharedState.selectedAddress on a link of its
// own, opened on SharedState.portNumber when it is built and closed with it;
// the editor hands its port over for the time of the dialog
// (PresetActions::runSaveRecall).
class Save_Recall : public QDialog {
    Q_OBJECT

public:
    explicit Save_Recall(QWidget* parent = nullptr);
    ~Save_Recall() override;

    SerialLink& link() { return *serial; }

    QComboBox* slotList() const { return numberList; }
    QLineEdit* nameBox() const { return name; }
    QPushButton* loadButton() const { return load; }
    QPushButton* saveButton() const { return save; }
    QPushButton* clearButton() const { return clear; }

    // Runs the dialog modally, or hands it to the runner a test installed.
    void run();
    // While set, run() calls it instead of exec() (for tests).
    using Runner = std::function<void(Save_Recall& dialog)>;
    static void setRunner(Runner runner);

private:
    // Records a slot action for the amplifier of the dialog.
    void note(const QString& kind, const QString& text) const;
    void openLink();
    void onSlotChosen(int position);
    void onReceived(int eventCode);
    void onLoad();
    void onSave();
    void onClear();
    int chosenSlot() const;

    std::unique_ptr<SerialLink> serial;
    PresetSlots::SlotCommands commands;
    QLabel* numberLabel = nullptr;
    QComboBox* numberList = nullptr;
    QLabel* nameLabel = nullptr;
    QLineEdit* name = nullptr;
    QPushButton* load = nullptr;
    QPushButton* save = nullptr;
    QPushButton* clear = nullptr;
};
