#include "devices/ZhuYe.h"

#include "app/UiLanguage.h"
#include "clock/WaitClock.h"
#include "devices/BusyScope.h"
#include "devices/DeviceListFile.h"
#include "devices/DeviceTexts.h"
#include "devices/EventLogWindow.h"
#include "eventlog/EventLog.h"
#include "serial/DeviceWatcher.h"
#include "serial/PortRegistry.h"
#include "serial/SerialLink.h"
#include "serial/SerialLinkFactory.h"
#include "serial/SerialPorts.h"
#include "widgets/CHeaderCtrlCl.h"
#include "widgets/CListCtrlCl.h"
#include "widgets/CSkinScrollWnd.h"
#include "widgets/DialogUnits.h"
#include "widgets/ScreenFit.h"
#include "widgets/SkinnedFrame.h"
#include "widgets/UserDialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>

namespace {

// Client area and table background.
constexpr QRgb background = qRgb(192, 236, 243);

// Control places in dialog units: left, top, width, height.
constexpr DialogRect tableUnits{8, 10, 647, 243};
constexpr DialogRect searchUnits{430, 257, 50, 14};
constexpr DialogRect refreshUnits{497, 257, 50, 14};
constexpr DialogRect deleteUnits{561, 257, 50, 14};
constexpr DialogRect progressUnits{325, 257, 80, 14};
constexpr DialogRect searchTextUnits{289, 260, 31, 8};
constexpr DialogRect editUnits{42, 258, 40, 14};

constexpr int progressMaximum = 255;

// The text of the one item of the table's context menu, the same in both
// languages.
const QString editorMenuText = QStringLiteral("DSP配置");

} // namespace

ZhuYe::ZhuYe(QWidget* parent)
    : QDialog(parent), serial(makeSerialLink(this)), devices(std::make_unique<DeviceSession>(*serial, model))
{
    listPath = DeviceListFile::defaultPath();
    buildControls();
    setUpColumns();
    // The painted frame moves the controls into its client area and grows
    // the window by its width; the window opens at that size and can be made
    // no smaller.
    new SkinnedFrame(this, SkinFrame::Kind::HomePage);
    previousClientSize = size();
    setMinimumSize(size());
    // On a screen too small for it the window opens as large as the screen.
    ScreenFit::keepOnScreen(this);
    pollTimer = new ClockTimer(this);
    pollTimer->setSingleShot(true);
    connect(pollTimer, &ClockTimer::timeout, this, &ZhuYe::onPollTick);
    watcher = new DeviceWatcher(this);
    connect(watcher, &DeviceWatcher::deviceArrived, this, &ZhuYe::onDeviceArrived);
    connect(watcher, &DeviceWatcher::deviceRemoved, this, &ZhuYe::onDeviceRemoved);
    connect(serial.get(), &SerialLink::received, this, [this](int eventCode) {
        if (busy > 0)
            return; // the exchange in progress reads its own reply
        UserDialogs::runAction(this, [&] {
            const QByteArray report = devices->onHomeReceive(eventCode);
            busEvents.afterReport(report, model, devices->pollState(),
                                  [this](int row, const QString& kind, const QString& text) { noteRow(row, kind, text); });
        });
        list->viewport()->update();
    });
    auto* logKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    connect(logKey, &QShortcut::activated, this, &ZhuYe::showEventLog);
    auto* openKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this);
    connect(openKey, &QShortcut::activated, this, &ZhuYe::openShow);
    auto* saveKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(saveKey, &QShortcut::activated, this, &ZhuYe::saveShow);
}

ZhuYe::~ZhuYe() = default;

void ZhuYe::buildControls()
{
    setWindowTitle(QStringLiteral("Velquist VX-4 editor"));
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, QColor(background));
    setPalette(windowPalette);
    setAutoFillBackground(true);

    const DialogUnits units(font());
    resize(units.size(widthUnits, heightUnits));

    list = new CListCtrlCl(this);
    list->setModel(&model);
    list->setGeometry(units.rect(tableUnits));
    list->setAccessibleName(tr("Device table"));
    list->addNotConnectedText(DeviceTexts::notConnected());
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QPalette listPalette = list->palette();
    listPalette.setColor(QPalette::Base, QColor(background));
    list->setPalette(listPalette);
    list->viewport()->installEventFilter(this);
    connect(list, &QWidget::customContextMenuRequested, this, &ZhuYe::showContextMenu);
    CSkinScrollWnd::skinWindow(list);

    const auto makeButton = [this, &units](const QString& caption, const DialogRect& r, void (ZhuYe::*action)()) {
        auto* button = new QPushButton(caption, this);
        button->setGeometry(units.rect(r));
        button->setAccessibleName(caption);
        // Enter moves the focus to the table instead of pressing a button.
        button->setAutoDefault(false);
        button->setDefault(false);
        connect(button, &QPushButton::clicked, this, [this, action] { (this->*action)(); });
        return button;
    };
    searchButton = makeButton(tr("Search"), searchUnits, &ZhuYe::searchDevices);
    refreshButton = makeButton(tr("Refresh"), refreshUnits, &ZhuYe::refreshDevices);
    deleteButton = makeButton(tr("Delete"), deleteUnits, &ZhuYe::deleteCurrentRow);

    progress = new QProgressBar(this);
    progress->setGeometry(units.rect(progressUnits));
    progress->setRange(0, progressMaximum);
    progress->setValue(0);
    progress->setTextVisible(false);
    progress->setAccessibleName(tr("Search progress"));
    progress->hide();

    searchText = new QLabel(this);
    searchText->setGeometry(units.rect(searchTextUnits));
    searchText->setAttribute(Qt::WA_TranslucentBackground);
    searchText->setAccessibleName(DeviceTexts::searching());
    searchText->hide();

    editBox = new QLineEdit(this);
    editBox->setGeometry(units.rect(editUnits));
    editBox->setAccessibleName(tr("Cell editor"));
    editBox->installEventFilter(this);
    editBox->hide();
}

void ZhuYe::setUpColumns()
{
    // Widths come from the table's client width as it opens: the numbers'
    // column is narrow, the four others share the width, so the table
    // scrolls sideways by a few pixels.
    const int clientWidth = list->width() - 2 * list->frameWidth();
    const int numberWidth = clientWidth / (uiLanguage() == chineseUi ? 25 : 20);
    for (int column = 0; column < DeviceTable::ColumnCount; ++column)
        list->insertColumn(column, DeviceTexts::heading(column), Qt::AlignCenter,
                           column == DeviceTable::NumberColumn ? numberWidth : clientWidth / 4);
    list->setConnectionColumn(DeviceTable::ConnectionColumn);
}

void ZhuYe::setEditorOpener(EditorOpener opener)
{
    editorOpener = std::move(opener);
}

void ZhuYe::setDeviceListPath(const QString& path)
{
    listPath = path;
}

bool ZhuYe::isPolling() const
{
    return pollTimer->isActive();
}

void ZhuYe::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (started)
        return;
    started = true;
    // The window is on the screen before the ports are tried, so the user
    // sees that the program is looking for amplifiers.
    waitClock().callAfter(0, this, [this] { startUp(); });
}

void ZhuYe::startUp()
{
    BusyScope scope(busy);
    watcher->start();
    // A refusal ends the detection and is shown; the list is loaded all the
    // same, or the next save would replace the user's list with an empty one.
    UserDialogs::runAction(this, [this] { detectPort(); });
    loadDeviceList();
}

QList<int> ZhuYe::portNumbersToTry() const
{
    QList<SSerInfo> ports;
    ListSerialPorts(ports);
    QList<int> numbers;
    for (const SSerInfo& port : ports) {
        if (numbers.size() == DeviceSession::maxPorts)
            break;
        numbers.append(PortNumberFromName(port.displayName) & 0xFF);
    }
    return numbers;
}

void ZhuYe::detectPort()
{
    const QList<int> numbers = portNumbersToTry();
    if (numbers.isEmpty()) {
        loadDeviceList();
        UserDialogs::showMessage(this, DeviceTexts::connectionFails());
        return;
    }
    tryPorts(numbers);
}

void ZhuYe::tryPorts(const QList<int>& numbers)
{
    // The poll timer starts only once a port has answered.
    if (!devices->detectPort(numbers))
        return;
    const SharedState& shared = sharedState();
    logEvent(std::nullopt, {}, QStringLiteral("port.found"), tr("The amplifiers answer on %1 at %2 baud")
                                              .arg(PortRegistry::pathOf(shared.portNumber), shared.baudText));
    pollTimer->start(firstPollMs);
}

void ZhuYe::onDeviceArrived()
{
    // An adapter plugged in (again) while the home page has no port: the
    // ports are tried as at start-up, so the table comes back to life. Not
    // while the editor holds the line, and never away from an open port.
    if (editing || busy > 0 || offline || serial->isOpen())
        return;
    BusyScope scope(busy);
    UserDialogs::runAction(this, [this] { tryPorts(portNumbersToTry()); });
}

void ZhuYe::onDeviceRemoved(const QString& devicePath)
{
    const SharedState& shared = sharedState();
    if (shared.portNumber <= 0 || devicePath != PortRegistry::pathOf(shared.portNumber))
        return;
    logEvent(std::nullopt, {}, QStringLiteral("port.lost"), tr("The port %1 is gone").arg(devicePath));
}

void ZhuYe::noteRow(int row, const QString& kind, const QString& text)
{
    logEvent(model.addressValue(row), model.text(row, DeviceTable::NameColumn), kind, text.trimmed());
}

void ZhuYe::loadDeviceList()
{
    if (listLoaded)
        return;
    listLoaded = true;
    // A list that was not read is never written over: that would lose it.
    // One that cannot be opened loads as an empty table without a word.
    const DeviceListFile::LoadOutcome loaded = DeviceListFile::load(listPath, model);
    keepUnreadableList = loaded.keepFile;
    if (!loaded.error.isEmpty() && !loaded.cannotOpen)
        UserDialogs::showError(this, loaded.error, UserDialogs::ErrorKind::File);
}

void ZhuYe::saveDeviceList()
{
    // Offline the table shows the show's devices, not the device list.
    if (offline)
        return;
    const QString error = keepUnreadableList ? DeviceListFile::notWrittenOverText(listPath)
                                             : DeviceListFile::save(listPath, model);
    if (error.isEmpty()) {
        lastSaveError.clear();
        return;
    }
    // Said once, not at every poll, until a save succeeds again.
    if (error == lastSaveError)
        return;
    lastSaveError = error;
    UserDialogs::showError(this, error, UserDialogs::ErrorKind::File);
}

void ZhuYe::searchDevices()
{
    if (!serial->isOpen())
        return;
    BusyScope scope(busy);
    progress->setValue(0);
    progress->show();
    searchText->setText(DeviceTexts::searching());
    // The place is sized for the Chinese text; a longer one grows to the
    // left, towards the free space, so that it is never cut.
    const int needed = searchText->fontMetrics().horizontalAdvance(searchText->text()) + 2;
    if (needed > searchText->width()) {
        const QRect at = searchText->geometry();
        searchText->setGeometry(QRect(QPoint(at.right() + 1 - needed, at.top()), QSize(needed, at.height())));
    }
    searchText->show();
    struct Hide {
        ZhuYe* home;
        ~Hide()
        {
            home->progress->hide();
            home->searchText->hide();
        }
    } hide{this};
    const int rowsBefore = model.size();
    const bool completed = UserDialogs::runAction(this, [this] {
        devices->searchDevices([this](int address) {
            progress->setValue(address);
            list->viewport()->update();
        });
    });
    // Rows found before a refusal are kept.
    Q_UNUSED(completed);
    for (int row = rowsBefore; row < model.size(); ++row)
        noteRow(row, QStringLiteral("search.found"), tr("Found at address %1").arg(model.addressValue(row)));
    saveDeviceList();
}

void ZhuYe::refreshDevices()
{
    pollDevices(false);
}

void ZhuYe::pollDevices(bool byTimer)
{
    if (offline)
        return;
    BusyScope scope(busy);
    bool polled = false;
    QString error;
    try {
        polled = devices->refreshDevices();
    } catch (const std::exception& failure) {
        error = QString::fromUtf8(failure.what());
    }
    list->viewport()->update();
    // A port that keeps refusing is said once, not at every tick; a press
    // of Refresh always says it.
    if (!error.isEmpty() && (!byTimer || error != lastPollError))
        UserDialogs::showError(this, error, UserDialogs::ErrorKind::Serial);
    lastPollError = error;
    if (!polled)
        return;
    busEvents.afterPoll(model, [this](int row, const QString& kind, const QString& text) { noteRow(row, kind, text); });
    saveDeviceList();
}

void ZhuYe::onPollTick()
{
    if (offline)
        return;
    // The next poll comes ten seconds after this one has ended, also when
    // this one ended in a serial error.
    struct Restart {
        ClockTimer* timer;
        ~Restart() { timer->start(pollPeriodMs); }
    } restart{pollTimer};
    pollDevices(true);
}

void ZhuYe::deleteCurrentRow()
{
    // The show's devices are not the device list.
    if (offline)
        return;
    if (editBox->isVisible())
        commitCellEdit();
    if (model.isValidRow(clickedRow))
        noteRow(clickedRow, QStringLiteral("device.deleted"), tr("Deleted from the device list"));
    model.deleteRow(clickedRow);
    // The row that moved up into the place is the one highlighted now, and
    // the next Delete removes it.
    if (model.isValidRow(clickedRow)) {
        list->selectRow(clickedRow);
    } else {
        clickedRow = -1;
        list->clearSelection();
    }
    // Also with no row chosen: the list on disk is the table as shown.
    saveDeviceList();
}

void ZhuYe::clickCell(int row, int column)
{
    clickedRow = model.isValidRow(row) ? row : -1;
    clickedColumn = clickedRow >= 0 ? column : -1;
    if (clickedRow < 0)
        return;
    oldAddress = model.addressValue(clickedRow) & 0xFF;
    if (clickedColumn != DeviceTable::AddressColumn && clickedColumn != DeviceTable::NameColumn)
        return;
    // Offline no amplifier is there to take a new address.
    if (offline && clickedColumn == DeviceTable::AddressColumn)
        return;
    const QModelIndex index = model.index(clickedRow, clickedColumn);
    if (editBox->parent() != list->viewport())
        editBox->setParent(list->viewport());
    editRow = clickedRow;
    editColumn = clickedColumn;
    editBox->setGeometry(list->visualRect(index));
    editBox->setText(model.text(clickedRow, clickedColumn));
    editBox->show();
    editBox->raise();
    editBox->setFocus(Qt::MouseFocusReason);
    editBox->end(false);
}

void ZhuYe::commitCellEdit()
{
    if (committing || editRow < 0)
        return;
    committing = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{committing};
    const QString text = editBox->text();
    if (editColumn == DeviceTable::NameColumn) {
        model.setText(editRow, DeviceTable::NameColumn, text);
        if (offline)
            renameShowDevice(editRow, text);
    } else {
        AddressEditResult result;
        if (!UserDialogs::runAction(this, [&] { result = devices->commitAddressEdit(editRow, text, oldAddress); })) {
            // The link refused the address change: the cell shows the new
            // address as typed, and the list keeps it.
            result.accepted = model.text(editRow, DeviceTable::AddressColumn) == text;
        }
        if (!result.accepted) {
            // The box stays where it is with the wrong text.
            if (!result.message.isEmpty())
                UserDialogs::showMessage(this, result.message);
            return;
        }
        const int newAddress = model.addressValue(editRow);
        if (newAddress != oldAddress) {
            busEvents.moved(oldAddress, newAddress);
            noteRow(editRow, QStringLiteral("address.changed"),
                    tr("Address %1 changed to %2").arg(oldAddress).arg(newAddress));
        }
    }
    closeCellEdit();
    saveDeviceList();
}

void ZhuYe::closeCellEdit()
{
    editBox->hide();
    editRow = -1;
    editColumn = -1;
}

void ZhuYe::openEditor(int row)
{
    if (editBox->isVisible()) {
        // The first click of a double-click opened the cell: left unchanged,
        // it is simply closed (no frame, no message). A changed cell is
        // committed as when the user leaves it; a refused one keeps the user
        // in it.
        if (editBox->text() == model.text(editRow, editColumn))
            closeCellEdit();
        else
            commitCellEdit();
        if (editBox->isVisible())
            return;
    }
    if (offline) {
        openOfflineEditor(row);
        return;
    }
    clickedRow = model.isValidRow(row) ? row : -1;
    EditorTarget target;
    if (!UserDialogs::runAction(this, [&] { target = devices->prepareEditor(clickedRow); }))
        return;
    if (clickedRow >= 0)
        list->selectRow(clickedRow);
    if (!editorOpener)
        return;
    struct Editing {
        bool& flag;
        explicit Editing(bool& flag) : flag(flag) { flag = true; }
        ~Editing() { flag = false; }
    } editingScope(editing);
    editorOpener(this, target);
}

void ZhuYe::showContextMenu(const QPoint& position)
{
    const QModelIndex index = list->indexAt(position);
    menuRow = index.isValid() ? index.row() : -1;
    clickedRow = menuRow;
    QMenu menu(this);
    QAction* configure = menu.addAction(editorMenuText);
    QAction* log = menu.addAction(tr("Event log"));
    log->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    log->setEnabled(eventLog() != nullptr);
    addShowMenu(menu);
    const QPoint at = list->viewport()->mapToGlobal(position);
    QAction* chosen = menuExec ? menuExec(&menu, at) : menu.exec(at);
    if (chosen == configure)
        openEditor(menuRow);
    else if (chosen == log)
        showEventLog();
    else if (chosen)
        runShowItem(chosen);
}

EventLogWindow* ZhuYe::eventLogWindow() const
{
    return logWindow;
}

void ZhuYe::showEventLog()
{
    EventLog* log = eventLog();
    if (!log)
        return;
    if (!logWindow) {
        logWindow = new EventLogWindow(*log, this);
        logWindow->setAttribute(Qt::WA_DeleteOnClose);
        QList<EventLogWindow::Amplifier> amplifiers;
        for (const DeviceRow& row : model.allRows())
            amplifiers.append({row.address.toInt(), row.name});
        logWindow->setAmplifiers(amplifiers);
    }
    logWindow->show();
    logWindow->raise();
    logWindow->activateWindow();
}

void ZhuYe::setMenuRunner(MenuRunner runner)
{
    menuExec = std::move(runner);
}

bool ZhuYe::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == editBox) {
        if (event->type() == QEvent::FocusOut && editBox->isVisible())
            commitCellEdit();
        // The box covers the cell it edits: a double-click on it is a
        // double-click on its row.
        if (event->type() == QEvent::MouseButtonDblClick && editRow >= 0) {
            openEditor(editRow);
            return true;
        }
    } else if (watched == list->viewport()
               && (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonDblClick)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
            const QModelIndex index = list->indexAt(mouse->position().toPoint());
            clickCell(index.isValid() ? index.row() : -1, index.column());
        } else if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton) {
            const QModelIndex index = list->indexAt(mouse->position().toPoint());
            if (index.isValid()) {
                openEditor(index.row());
                return true;
            }
            clickedRow = -1;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ZhuYe::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Ends an edit in the table (its box loses the focus).
        list->setFocus(Qt::OtherFocusReason);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ZhuYe::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (isMinimized())
        return;
    const QSize change = size() - previousClientSize;
    previousClientSize = size();
    if (change.isNull())
        return;
    list->resize(list->size() + change);
    // The buttons, the progress bar and the search text keep their distance
    // from the bottom-right corner; the cell editor stays where it is.
    for (QWidget* w : {static_cast<QWidget*>(searchButton), static_cast<QWidget*>(refreshButton),
                       static_cast<QWidget*>(deleteButton), static_cast<QWidget*>(progress),
                       static_cast<QWidget*>(searchText)})
        w->move(w->pos() + QPoint(change.width(), change.height()));
}

void ZhuYe::closeEvent(QCloseEvent* event)
{
    // A close that falls into an exchange is handled when it has ended.
    if (busy > 0 || waitClock().isWaiting()) {
        event->ignore();
        waitClock().callAfter(0, this, [this] { close(); });
        return;
    }
    // QDialog's close goes through reject(), which asks about the show.
    QDialog::closeEvent(event);
}

void ZhuYe::reject()
{
    if (busy > 0 || waitClock().isWaiting()) {
        waitClock().callAfter(0, this, [this] { reject(); });
        return;
    }
    if (!settleShowChanges())
        return;
    QDialog::reject();
}
