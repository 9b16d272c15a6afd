// The home page's show files: open, receive into a file, compare, send, and
// offline work on a show's amplifiers simulated in this process.
#include "devices/ZhuYe.h"

#include "clock/WaitClock.h"
#include "devices/BusyScope.h"
#include "devices/DeviceTexts.h"
#include "eventlog/EventLog.h"
#include "protocol/ParameterTable.h"
#include "protocol/ValueMapping.h"
#include "serial/SerialLink.h"
#include "serial/SerialLinkFactory.h"
#include "show/ShowBus.h"
#include "widgets/CListCtrlCl.h"
#include "widgets/UserDialogs.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QProgressBar>

namespace {

// The items of the Show menu, as their actions carry them.
enum ShowItem { OpenItem = 1, SaveItem, CompareItem, SendItem, OfflineItem };

UserDialogs::FileRequest showFileRequest(UserDialogs::FileRequest::Kind kind, const QString& caption,
                                         const QString& at)
{
    UserDialogs::FileRequest request;
    request.kind = kind;
    request.caption = caption;
    request.directory = at;
    request.filter = ZhuYe::tr("Show files (*.vx4show)");
    request.defaultSuffix = QString::fromLatin1(ShowFile::suffix);
    return request;
}

// The home page's progress bar for the time of one pass over amplifiers.
class ProgressScope {
public:
    ProgressScope(QProgressBar* bar, qsizetype count) : bar(bar)
    {
        bar->setRange(0, static_cast<int>(std::max<qsizetype>(count, 1)));
        bar->setValue(0);
        bar->show();
    }
    ~ProgressScope()
    {
        bar->hide();
        bar->setRange(0, 255);
        bar->setValue(0);
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    QProgressBar* bar;
};

int baudOfHomePort()
{
    const int baud = sharedState().baudText.toInt();
    return baud > 0 ? baud : 19200;
}

} // namespace

void ZhuYe::addShowMenu(QMenu& menu)
{
    QMenu* shows = menu.addMenu(tr("Show"));
    const auto add = [shows](const QString& text, ShowItem item) {
        QAction* action = shows->addAction(text);
        action->setData(static_cast<int>(item));
        return action;
    };
    add(tr("Open show…"), OpenItem)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    add(tr("Save show…"), SaveItem)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    // Offline there is no bus to compare with or send to.
    add(tr("Compare with show…"), CompareItem)->setEnabled(!offline);
    add(tr("Send show…"), SendItem)->setEnabled(!offline);
    shows->addSeparator();
    QAction* work = add(tr("Work offline"), OfflineItem);
    work->setCheckable(true);
    work->setChecked(offline);
}

void ZhuYe::runShowItem(QAction* item)
{
    switch (item->data().toInt()) {
    case OpenItem: openShow(); break;
    case SaveItem: saveShow(); break;
    case CompareItem: compareWithShow(); break;
    case SendItem: sendShow(); break;
    case OfflineItem: setOffline(!offline); break;
    default: break;
    }
}

ShowCompareWindow* ZhuYe::compareWindow() const { return differencesWindow; }

bool ZhuYe::chooseAndReadShow()
{
    const QString path = UserDialogs::chooseFile(
        this, showFileRequest(UserDialogs::FileRequest::Open, tr("Open show"), showPath));
    if (path.isEmpty())
        return false;
    ShowFile::Decoded read = ShowFile::read(path);
    if (!read.show) {
        // The open show stays as it was; nothing is sent.
        UserDialogs::showError(this, tr("The show cannot be opened: %1").arg(read.error), UserDialogs::ErrorKind::File);
        return false;
    }
    openedShow = std::move(read.show);
    showPath = path;
    showChanged = false;
    return true;
}

void ZhuYe::openShow()
{
    if (busy > 0 || !settleShowChanges() || !chooseAndReadShow())
        return;
    // With no port that answers the show is worked on offline.
    if (offline || !portReady())
        setOffline(true);
    if (offline)
        showOfflineRows();
    updateTitle();
}

bool ZhuYe::portReady()
{
    if (serial->isOpen())
        return true;
    // The editor handed the port back: it opens again as the next poll would.
    if (!offline && sharedState().reopenHomePort && serial->portNumber() > 0)
        UserDialogs::runAction(this, [this] { serial->open(serial->portNumber(), serial->settings()); });
    return serial->isOpen();
}

QList<int> ZhuYe::listedAddresses() const
{
    QList<int> addresses;
    for (int row = 0; row < model.size(); ++row) {
        const int address = model.addressValue(row);
        if (address >= 1 && address <= 254 && !addresses.contains(address))
            addresses.append(address);
    }
    return addresses;
}

QString ZhuYe::amplifierName(int address) const
{
    if (const QList<int> rows = model.rowsWithAddress(address); !rows.isEmpty())
        return model.text(rows.first(), DeviceTable::NameColumn);
    if (openedShow)
        for (const ShowFile::Device& device : openedShow->devices)
            if (ValueMapping::leadingInteger(device.address) == address)
                return device.name;
    return {};
}

void ZhuYe::saveShow()
{
    if (busy > 0)
        return;
    if (offline) {
        writeOpenShow();
        return;
    }
    if (!portReady()) {
        UserDialogs::showMessage(this, DeviceTexts::connectionFails());
        return;
    }
    const QList<int> addresses = listedAddresses();
    if (addresses.isEmpty()) {
        UserDialogs::showMessage(this, tr("The device list is empty: search the bus first."));
        return;
    }
    const QString path =
        UserDialogs::chooseFile(this, showFileRequest(UserDialogs::FileRequest::Save, tr("Save show"), showPath));
    if (path.isEmpty())
        return;
    // An amplifier that does not answer keeps its entry of the show the
    // file holds; a file that cannot be read is never written over.
    ShowFile::Show received;
    if (openedShow && path == showPath) {
        received = *openedShow;
    } else if (QFileInfo::exists(path)) {
        ShowFile::Decoded existing = ShowFile::read(path);
        if (!existing.show) {
            UserDialogs::showError(this, tr("The show cannot be opened: %1").arg(existing.error),
                                   UserDialogs::ErrorKind::File);
            return;
        }
        received = std::move(*existing.show);
    }
    received.devices.clear();
    for (const DeviceRow& row : model.allRows())
        received.devices.append({row.address, row.name});
    received.baud = baudOfHomePort();
    QList<int> silent;
    {
        BusyScope scope(busy);
        ProgressScope shown(progress, addresses.size());
        const bool completed = UserDialogs::runAction(this, [&] {
            silent = ShowBus::receive(*serial, received, addresses, received.baud, [this](int index, int) {
                progress->setValue(index);
                list->viewport()->update();
            });
        });
        if (!completed)
            return;
    }
    if (const QString error = ShowFile::write(path, received); !error.isEmpty()) {
        UserDialogs::showError(this, tr("The show cannot be saved to %1: %2").arg(path, error),
                               UserDialogs::ErrorKind::File);
        return;
    }
    openedShow = std::move(received);
    showPath = path;
    showChanged = false;
    updateTitle();
    if (!silent.isEmpty()) {
        QStringList numbers;
        for (int address : silent)
            numbers.append(QString::number(address));
        UserDialogs::showMessage(this, tr("These amplifiers did not answer: %1. Their entries in the show are left "
                                          "as they were.")
                                           .arg(numbers.join(QStringLiteral(", "))));
    }
}

bool ZhuYe::writeOpenShow()
{
    // Offline the show is the work: it is written as it stands.
    if (!openedShow)
        return false;
    QString path = showPath;
    if (path.isEmpty())
        path = UserDialogs::chooseFile(this, showFileRequest(UserDialogs::FileRequest::Save, tr("Save show"), {}));
    if (path.isEmpty())
        return false;
    if (const QString error = ShowFile::write(path, *openedShow); !error.isEmpty()) {
        UserDialogs::showError(this, tr("The show cannot be saved to %1: %2").arg(path, error),
                               UserDialogs::ErrorKind::File);
        return false;
    }
    showPath = path;
    showChanged = false;
    updateTitle();
    return true;
}

bool ZhuYe::settleShowChanges()
{
    if (!openedShow || !showChanged)
        return true;
    switch (UserDialogs::askToSave(this, tr("The show has changes that are not saved. Save them?"))) {
    case UserDialogs::SaveAnswer::Save:
        return writeOpenShow();
    case UserDialogs::SaveAnswer::Discard:
        return true;
    case UserDialogs::SaveAnswer::Cancel:
        break;
    }
    return false;
}

void ZhuYe::compareWithShow() { openCompareWindow(false); }

void ZhuYe::sendShow() { openCompareWindow(true); }

void ZhuYe::openCompareWindow(bool sending)
{
    if (busy > 0)
        return;
    if (offline) {
        UserDialogs::showMessage(this, tr("Offline there is no amplifier to compare with: leave offline work first."));
        return;
    }
    if (!openedShow && !chooseAndReadShow())
        return;
    updateTitle();
    if (!portReady()) {
        UserDialogs::showMessage(this, DeviceTexts::connectionFails());
        return;
    }
    QList<ShowCompareWindow::Amplifier> rows;
    {
        BusyScope scope(busy);
        ProgressScope shown(progress, openedShow->amplifiers.size());
        const bool completed = UserDialogs::runAction(this, [&] {
            for (const ShowFile::Amplifier& wanted : openedShow->amplifiers) {
                progress->setValue(static_cast<int>(rows.size()));
                const std::optional<QList<ShowFile::Difference>> differences =
                    ShowBus::compare(*serial, wanted, baudOfHomePort());
                rows.append({wanted.address, amplifierName(wanted.address), differences.has_value(),
                             differences.value_or(QList<ShowFile::Difference>{})});
            }
        });
        if (!completed)
            return;
    }
    if (differencesWindow)
        differencesWindow->close();
    const QString name = showPath.isEmpty() ? tr("new show") : QFileInfo(showPath).fileName();
    differencesWindow = new ShowCompareWindow(name, sending, this);
    differencesWindow->setAttribute(Qt::WA_DeleteOnClose);
    differencesWindow->setSender([this](const QList<int>& addresses, const ShowCompareWindow::Progress& made) {
        return sendAmplifiers(addresses, made);
    });
    differencesWindow->setAmplifiers(rows);
    differencesWindow->show();
    differencesWindow->raise();
    differencesWindow->activateWindow();
}

QString ZhuYe::sendAmplifiers(const QList<int>& addresses, const ShowCompareWindow::Progress& progressMade)
{
    if (busy > 0 || !openedShow)
        return {};
    if (offline || !portReady())
        return DeviceTexts::connectionFails();
    QList<ShowCompareWindow::Amplifier> rows;
    QStringList summary;
    {
        BusyScope scope(busy);
        UserDialogs::runAction(this, [&] {
            for (int address : addresses) {
                const ShowFile::Amplifier* wanted = openedShow->amplifier(address);
                if (!wanted)
                    continue;
                const ShowBus::SendOutcome outcome = ShowBus::send(*serial, *wanted, baudOfHomePort());
                const QString name = amplifierName(address);
                rows.append({address, name, outcome.answeredAfter, outcome.left});
                QString line;
                if (!outcome.answered) {
                    line = tr("Amplifier %1: did not answer; nothing was sent to it").arg(address);
                } else if (!outcome.answeredAfter) {
                    line = tr("Amplifier %1: frames sent: %2; it did not answer the read-back")
                               .arg(address)
                               .arg(outcome.framesSent);
                } else if (outcome.inSync()) {
                    line = tr("Amplifier %1: in sync; frames sent: %2").arg(address).arg(outcome.framesSent);
                } else {
                    QStringList paths;
                    for (const ShowFile::Difference& d : outcome.left.mid(0, 3))
                        paths.append(ParameterTable::pathText(d.path));
                    line = tr("Amplifier %1: still differs: %2")
                               .arg(address)
                               .arg(paths.join(QStringLiteral(", ")) + (outcome.left.size() > 3 ? QStringLiteral(" …") : QString()));
                }
                summary.append(line);
                if (outcome.answered)
                    logEvent(address, name, QStringLiteral("show.sent"), line);
                if (progressMade)
                    progressMade(static_cast<int>(summary.size()), static_cast<int>(addresses.size()));
            }
        });
    }
    if (differencesWindow)
        differencesWindow->setAmplifiers(rows);
    return summary.join(QLatin1Char('\n'));
}

void ZhuYe::setOffline(bool on)
{
    if (on == offline || busy > 0)
        return;
    closeCellEdit();
    if (on) {
        if (!openedShow) {
            // A show of the listed amplifiers in their factory state, to be
            // prepared at the desk and saved.
            ShowFile::Show made;
            made.baud = baudOfHomePort();
            for (const DeviceRow& row : model.allRows())
                made.devices.append({row.address, row.name});
            for (int address : listedAddresses())
                made.put(ShowBus::defaultAmplifier(address));
            openedShow = std::move(made);
            showPath.clear();
            showChanged = true;
        }
        offline = true;
        pollTimer->stop();
        if (serial->isOpen())
            serial->close();
        if (differencesWindow)
            differencesWindow->close();
        showOfflineRows();
        updateTitle();
        return;
    }
    // Back to the device list and the search for the port, as at start-up;
    // the show's unsaved changes are not dropped without asking.
    if (!settleShowChanges())
        return;
    offline = false;
    model.clear();
    clickedRow = -1;
    listLoaded = false;
    updateTitle();
    BusyScope scope(busy);
    UserDialogs::runAction(this, [this] { detectPort(); });
    loadDeviceList();
}

void ZhuYe::showOfflineRows()
{
    model.clear();
    clickedRow = -1;
    if (!openedShow)
        return;
    QList<int> shown;
    for (const ShowFile::Device& device : openedShow->devices) {
        model.appendRow(device.address, device.name, DeviceTexts::offline(), QStringLiteral(" "));
        shown.append(ValueMapping::leadingInteger(device.address));
    }
    for (const ShowFile::Amplifier& amp : openedShow->amplifiers)
        if (!shown.contains(amp.address))
            model.appendRow(QString::number(amp.address), QString(), DeviceTexts::offline(), QStringLiteral(" "));
    list->viewport()->update();
}

void ZhuYe::renameShowDevice(int row, const QString& name)
{
    if (!openedShow)
        return;
    const QString address = model.text(row, DeviceTable::AddressColumn);
    for (ShowFile::Device& device : openedShow->devices) {
        if (device.address == address && device.name != name) {
            device.name = name;
            showChanged = true;
        }
    }
    if (std::none_of(openedShow->devices.begin(), openedShow->devices.end(),
                     [&](const ShowFile::Device& d) { return d.address == address; })) {
        openedShow->devices.append({address, name});
        showChanged = true;
    }
    updateTitle();
}

void ZhuYe::openOfflineEditor(int row)
{
    clickedRow = model.isValidRow(row) ? row : -1;
    if (clickedRow < 0 || !openedShow || !editorOpener)
        return;
    list->selectRow(clickedRow);
    const int address = model.addressValue(clickedRow);
    if (address < 1 || address > 254)
        return;
    const QString name = model.text(clickedRow, DeviceTable::NameColumn);
    const ShowFile::Amplifier* stored = openedShow->amplifier(address);
    ShowBus::VirtualAmplifier amplifier(stored ? *stored : ShowBus::defaultAmplifier(address));
    const ShowFile::Amplifier before = amplifier.state();
    {
        // Every link the editor and its dialogs make reaches the simulated
        // amplifier only; the home page's port, rate and row status are its
        // own again afterwards.
        ScopedSerialLinkMaker links([&amplifier](QObject* parent) { return amplifier.makeLink(parent); });
        struct Restore {
            SharedState kept = sharedState();
            bool& flag;
            explicit Restore(bool& flag) : flag(flag) { flag = true; }
            ~Restore()
            {
                flag = false;
                SharedState& shared = sharedState();
                shared.portNumber = kept.portNumber;
                shared.baudText = kept.baudText;
                shared.editorStatus = kept.editorStatus;
                shared.reopenHomePort = kept.reopenHomePort;
            }
        } restore(editing);
        SharedState& shared = sharedState();
        shared.selectedAddress = address;
        shared.selectedName = name;
        shared.portNumber = ShowBus::VirtualAmplifier::portNumber;
        shared.baudText = QString::number(ShowBus::VirtualAmplifier::baudRate);
        editorOpener(this, {address, name, shared.portNumber, shared.baudText, true});
    }
    const ShowFile::Amplifier after = amplifier.state();
    if (ParameterTable::differences(after.parameters, before.parameters).isEmpty())
        return;
    openedShow->put(after);
    showChanged = true;
    updateTitle();
}

void ZhuYe::updateTitle()
{
    QString title = UserDialogs::programTitle();
    if (openedShow) {
        title += QStringLiteral(" - ") + (showPath.isEmpty() ? tr("new show") : QFileInfo(showPath).fileName());
        if (showChanged)
            title += QLatin1Char('*');
    }
    if (offline)
        title += QStringLiteral(" - ") + DeviceTexts::offline();
    setWindowTitle(title);
}
