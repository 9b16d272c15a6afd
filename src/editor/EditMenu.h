#pragma once

#include "clock/WaitClock.h"
#include "editor/EditHistory.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class EditorSession;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QWidget;

// The editor's Edit menu: undo and redo of the user's steps, the history,
// the A/B compare of two settings and the copy of a channel. What it sends
// are the frames that take the amplifier from its state to the one wanted;
// the window shows the model afterwards.
class EditMenu : public QObject {
    Q_OBJECT

public:
    // `show` puts the model into every control and both graphs.
    EditMenu(QMenuBar* bar, EditorSession& session, QWidget* window, std::function<void()> show);

    // A frame the user caused went out: the model may have changed.
    void userChanged();
    // The mouse went down or up over the window.
    void pressed();
    void released();
    // The amplifier was read on its own account (opening, a device arriving):
    // the first read starts the history, a later one that finds settings the
    // history does not know starts it anew and says why.
    void amplifierRead();
    // An action of the user that ends in a read (RESET-EQ, RESET, a preset
    // file, a slot recall) was read back: one step with this label.
    void actionRead(const QString& label);

    // The words of a step, for the menu and the history.
    static QString stepLabel(const QList<ParameterPath>& changed, const AmpParameters& after);
    // The caption of a parameter in the interface language.
    static QString caption(ParameterKey key);

    // Takes the amplifier to the settings of `target` as one step of the
    // history named `label` (an import, a copy); false when the port is
    // closed and nothing was sent.
    bool applyAsStep(const QString& label, const AmpParameters& target);

    void undo();
    void redo();
    void jumpTo(int index);
    void toggleCompare();
    void copyAToB();
    void copyBToA();
    void copyChannel();
    void showHistory();

private:
    // Takes the amplifier to the settings of `target` and shows them; false
    // when the port is closed (then nothing changes).
    bool reach(const AmpParameters& target);
    void updateActions();

    EditorSession& session;
    QWidget* window;
    std::function<void()> show;
    EditHistory steps;
    StepGrouper grouper;
    ClockTimer pause;
    bool started = false;
    // The compare: the other memory's settings and history.
    std::optional<AmpParameters> otherMemory;
    EditHistory otherSteps;
    bool showingB = false;

    QMenu* edit = nullptr;
    QAction* undoItem = nullptr;
    QAction* redoItem = nullptr;
    QAction* historyItem = nullptr;
    QAction* compareItem = nullptr;
    QAction* copyAToBItem = nullptr;
    QAction* copyBToAItem = nullptr;
    QAction* copyChannelItem = nullptr;
    QLabel* indicator = nullptr; // "A" or "B" while the compare is in use
};
