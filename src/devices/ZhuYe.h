#pragma once

#include "app/SharedState.h"

#include "devices/BusEvents.h"
#include "devices/DeviceSession.h"
#include "devices/DeviceTable.h"
#include "devices/ShowCompareWindow.h"

#include "show/ShowFile.h"

#include <QDialog>
#include <QPointer>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>

class CListCtrlCl;
class ClockTimer;
class DeviceWatcher;
class EventLogWindow;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class SerialLink;

// The home page: finds the port the amplifiers answer on, keeps the table of
// amplifiers and its file, searches the bus, polls the status of each row
// and opens the editor for one amplifier. When it has no open port, a serial
// device that arrives makes it try the ports again.
class ZhuYe : public QDialog {
    Q_OBJECT

public:
    // Layout in dialog units.
    static constexpr int widthUnits = 665;
    static constexpr int heightUnits = 276;
    static constexpr int firstPollMs = 1000;
    static constexpr int pollPeriodMs = 10000;

    explicit ZhuYe(QWidget* parent = nullptr);
    ~ZhuYe() override;

    // Runs the editor modally for the amplifier chosen in SharedState.
    // Opens the editor for the amplifier of a row, with what the home page
    // hands it.
    using EditorOpener = std::function<void(QWidget* home, const EditorTarget& target)>;
    void setEditorOpener(EditorOpener opener);
    // Where the device list is kept (default: DeviceListFile::defaultPath()).
    void setDeviceListPath(const QString& path);
    QString deviceListPath() const { return listPath; }

    DeviceTable& table() { return model; }
    CListCtrlCl* view() const { return list; }
    SerialLink& link() { return *serial; }
    DeviceSession& session() { return *devices; }
    QLineEdit* cellEditor() const { return editBox; }
    QProgressBar* progressBar() const { return progress; }
    QLabel* searchStatus() const { return searchText; }
    bool isPolling() const;
    int currentRow() const { return clickedRow; }
    bool isBusy() const { return busy > 0; }

    // The actions of the buttons, the context menu and the poll timer.
    void searchDevices();
    void refreshDevices();
    void deleteCurrentRow();
    void openEditor(int row);
    // A click on a cell (row -1 outside the rows), as the table reports it.
    void clickCell(int row, int column);
    // Ends an edit in the cell editor as losing the focus does.
    void commitCellEdit();
    // Opens the event log window (Ctrl+L), or raises the one open; nothing
    // without an event log.
    void showEventLog();
    EventLogWindow* eventLogWindow() const;

    // ---- Show files (ZhuYeShow.cpp) ----
    // "Open show…" (Ctrl+O). With no port that answers, the page then works
    // offline on the show.
    void openShow();
    // "Save show…" (Ctrl+S): receives every listed amplifier into a show
    // file; offline it saves the open show instead.
    void saveShow();
    // "Compare with show…" and "Send show…": the differences of every
    // amplifier of the open show (one is chosen first when none is open) in
    // a window that sends the checked amplifiers theirs.
    void compareWithShow();
    void sendShow();
    // "Work offline": the show's devices, each edited on an amplifier
    // simulated in this process; leaving it tries the ports again.
    void setOffline(bool on);
    bool isOffline() const { return offline; }
    const ShowFile::Show* currentShow() const { return openedShow ? &*openedShow : nullptr; }
    QString showFilePath() const { return showPath; }
    bool isShowChanged() const { return showChanged; }
    ShowCompareWindow* compareWindow() const;

    // Runs a context menu at a place and returns the chosen action (test seam;
    // the default is QMenu::exec).
    using MenuRunner = std::function<QAction*(QMenu* menu, const QPoint& globalPosition)>;
    void setMenuRunner(MenuRunner runner);

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void setUpColumns();
    void startUp();
    void detectPort();
    void tryPorts(const QList<int>& numbers);
    QList<int> portNumbersToTry() const;
    void onDeviceArrived();
    void loadDeviceList();
    void saveDeviceList();
    // Hides the cell editor without taking its text.
    void closeCellEdit();
    void onPollTick();
    void pollDevices(bool byTimer);
    void showContextMenu(const QPoint& position);
    void onDeviceRemoved(const QString& devicePath);
    // Records an event of a row's amplifier.
    void noteRow(int row, const QString& kind, const QString& text);
    // Show files (ZhuYeShow.cpp).
    void addShowMenu(QMenu& menu);
    void runShowItem(QAction* item);
    bool chooseAndReadShow();
    // Writes the open show to its file (asks for one when it has none).
    bool writeOpenShow();
    // Unsaved changes of the show: saved, dropped or kept as the user
    // answers. False when the user keeps them (the action is not taken).
    bool settleShowChanges();
    // Whether a port answered; the one the editor handed back is reopened.
    bool portReady();
    QList<int> listedAddresses() const;
    QString amplifierName(int address) const;
    void showOfflineRows();
    void renameShowDevice(int row, const QString& name);
    void openOfflineEditor(int row);
    void openCompareWindow(bool sending);
    // Returns the summary: per amplifier in sync, what still differs, or silent.
    QString sendAmplifiers(const QList<int>& addresses, const ShowCompareWindow::Progress& progressMade);
    void updateTitle();

    DeviceTable model;
    std::unique_ptr<SerialLink> serial;
    std::unique_ptr<DeviceSession> devices;
    CListCtrlCl* list = nullptr;
    QPushButton* searchButton = nullptr;
    QPushButton* refreshButton = nullptr;
    QPushButton* deleteButton = nullptr;
    QProgressBar* progress = nullptr;
    QLabel* searchText = nullptr;
    QLineEdit* editBox = nullptr;
    ClockTimer* pollTimer = nullptr;
    DeviceWatcher* watcher = nullptr;
    QPointer<EventLogWindow> logWindow;
    QPointer<ShowCompareWindow> differencesWindow;
    std::optional<ShowFile::Show> openedShow;
    QString showPath; // empty for a show not saved yet
    bool showChanged = false;
    bool offline = false;
    BusEvents busEvents;

    EditorOpener editorOpener;
    MenuRunner menuExec;
    QString lastSaveError;
    QString lastPollError;
    QString listPath;
    int clickedRow = -1;
    int clickedColumn = -1;
    int menuRow = -1;
    int oldAddress = 0;
    int editRow = -1;
    int editColumn = -1;
    int busy = 0;
    bool started = false;
    bool listLoaded = false;
    bool keepUnreadableList = false;
    bool committing = false;
    bool editing = false;
    QSize previousClientSize;
};
