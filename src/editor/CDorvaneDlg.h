#pragma once

#include "app/SharedState.h"

#include "editor/EditorContext.h"
#include "editor/EditorSession.h"
#include "presets/PresetActions.h"
#include "response/GraphPainting.h"
#include "response/MarkerEditor.h"
#include "response/MarkerState.h"
#include "response/ResponseGraphView.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class ChannelColumns;
class CrossoverGroup;
class DeviceWatcher;
class EditMenu;
class EditorCanvas;
class EqRow;
class LimiterGroup;
class LinkIcon;
class QAction;
class QCheckBox;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class RoutingBlock;
class SerialLink;
class SkinnedFrame;

// The editor of one amplifier. It takes everything it needs from
// SharedState (address, name, baud rate), finds the amplifier's port, reads
// its whole state into the controls, polls its readings, and leaves its
// status text in SharedState when it closes.
class CDorvaneDlg : public QDialog {
    Q_OBJECT

public:
    // Layout in dialog units.
    static constexpr int widthUnits = 810;
    static constexpr int heightUnits = 403;
    static constexpr int dialogFontPoints = 9;
    // The periods of the refresh-rate items "1 fast" .. "5 slow".
    static constexpr int refreshPeriodsMs[] = {300, 600, 1200, 1800, 2400};

    explicit CDorvaneDlg(const EditorTarget& target, QWidget* parent = nullptr);
    ~CDorvaneDlg() override;

    // A serial device was removed while an editor is open: the editor closes,
    // then this closes the home page, which ends the program.
    static void setHomeCloser(std::function<void()> closer);

    // Working on an amplifier of the open show, simulated in this process.
    bool isOffline() const { return offline; }

    // Opening: connection check and first full-state read. Runs by itself
    // once the window is first shown (outside the constructor, so that a
    // serial error reaches the top-level handler with the window open).
    void startUp();
    // The platform's device notifications.
    void onDeviceArrived();
    void onDeviceRemoved();

    EditorSession& session() { return *editor; }
    SerialLink& link() { return *serial; }
    MarkerState& markers() { return markerState; }
    // What the two graphs show now.
    EqGraphScene eqScene() const;
    CrossoverGraphScene crossoverScene() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Marker picking and dragging over the two graphs.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Presses and releases on the controls: one step of the history each.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void buildMenu();
    void buildBottomPanel();
    void placeGraphs();
    void connectAndRead();
    // Shows what the session announces: errors as serial errors.
    EditorSession::Announcer windowAnnouncer();
    // The full-state decode's part in the controls.
    void showFullState(const std::optional<FullStateReply>& reply);
    // Every control and both graphs from the model (after an undo, say).
    void showModel();
    void showParameters(int channelCount, bool sectionsArrived);
    // Reads the answer to a request already sent; `label` names the step of
    // the history this action makes.
    void refreshRead(const QString& label);
    void factoryReset();
    // Records an event of the editor's amplifier in the event log.
    void note(const QString& kind, const QString& text) const;
    void powerOn();
    void goToStandby();
    void knobLockClicked(bool checked);
    void invalidateEq();
    void describeEq();
    void invalidateCrossover();
    MarkerEditor::Point clientPoint(const QMouseEvent* event) const;
    PresetActions::EditorHooks presetHooks();
    void saveToFile();
    void loadFromFile(PresetFile::Target target);
    void openPresetSlots();
    QList<int> portNumbers() const;
    // Runs a menu item; a refusal is shown once, not again by the next poll.
    bool runMenuAction(const std::function<void()>& action);

    std::unique_ptr<SerialLink> serial;
    std::unique_ptr<EditorSession> editor;
    QString amplifierName; // as the home page's table names it
    MarkerState markerState;
    std::unique_ptr<EditorContext> shared;
    EditorCanvas* canvas = nullptr;
    MarkerEditor markerEditing{markerState};
    GraphPainter graphPainter;
    ResponseGraphView* eqArea = nullptr;
    ResponseGraphView* crossoverArea = nullptr;
    std::unique_ptr<EqRow> eq;
    std::unique_ptr<CrossoverGroup> crossover;
    std::unique_ptr<RoutingBlock> routing;
    std::unique_ptr<ChannelColumns> channels;
    std::unique_ptr<LimiterGroup> limiter;
    QLineEdit* status = nullptr;
    LinkIcon* icon = nullptr;
    QLineEdit* powerTemperature = nullptr;
    QCheckBox* knobLock = nullptr;
    QPushButton* resetButton = nullptr;
    QPushButton* boot = nullptr;
    QPushButton* standby = nullptr;
    QMenuBar* menuBar = nullptr;
    QMenu* tools = nullptr;
    EditMenu* editMenu = nullptr;
    DeviceWatcher* watcher = nullptr;
    SkinnedFrame* frame = nullptr;
    bool offline = false; // on an amplifier of the show, simulated in this process
    bool started = false;
    bool closing = false;
};
