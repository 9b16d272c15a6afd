#include "devices/EventLogWindow.h"

#include "app/SharedState.h"
#include "serial/PortRegistry.h"
#include "widgets/UserDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

int EventTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int EventTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EventTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows.size() || role != Qt::DisplayRole)
        return {};
    const LogEvent& event = rows.at(index.row());
    switch (index.column()) {
    case TimeColumn:
        return event.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    case AddressColumn:
        return event.address ? QString::number(*event.address) : QString();
    case NameColumn:
        return event.name;
    case KindColumn:
        return event.kind;
    case TextColumn:
        return event.text;
    default:
        return {};
    }
}

QVariant EventTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case TimeColumn:
        return EventLogWindow::tr("Time");
    case AddressColumn:
        return EventLogWindow::tr("Address");
    case NameColumn:
        return EventLogWindow::tr("Name");
    case KindColumn:
        return EventLogWindow::tr("Kind");
    case TextColumn:
        return EventLogWindow::tr("Text");
    default:
        return {};
    }
}

void EventTableModel::setEvents(QList<LogEvent> events)
{
    beginResetModel();
    rows = std::move(events);
    endResetModel();
}

void EventTableModel::prepend(const LogEvent& event, int keep)
{
    beginInsertRows({}, 0, 0);
    rows.prepend(event);
    endInsertRows();
    if (rows.size() > keep) {
        const int first = keep;
        const int last = static_cast<int>(rows.size()) - 1;
        beginRemoveRows({}, first, last);
        rows.erase(rows.begin() + first, rows.end());
        endRemoveRows();
    }
}

EventLogWindow::EventLogWindow(EventLog& log, QWidget* parent)
    : QDialog(parent)
    , log(log)
{
    setWindowTitle(tr("Event log"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    amplifier = new QComboBox(this);
    amplifier->setAccessibleName(tr("Amplifier"));
    amplifier->addItem(tr("All amplifiers"));

    group = new QComboBox(this);
    group->setAccessibleName(tr("Kind"));
    group->addItem(tr("All kinds"), static_cast<int>(EventGroup::All));
    group->addItem(tr("Faults"), static_cast<int>(EventGroup::Faults));
    group->addItem(tr("Connection"), static_cast<int>(EventGroup::Connection));
    group->addItem(tr("Edits"), static_cast<int>(EventGroup::Edits));

    const QDateTime now = QDateTime::currentDateTime();
    fromOn = new QCheckBox(tr("From"), this);
    from = new QDateTimeEdit(now.addDays(-1), this);
    from->setAccessibleName(tr("From"));
    from->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    from->setCalendarPopup(true);
    from->setEnabled(false);
    toOn = new QCheckBox(tr("To"), this);
    to = new QDateTimeEdit(now, this);
    to->setAccessibleName(tr("To"));
    to->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    to->setCalendarPopup(true);
    to->setEnabled(false);

    table = new QTableView(this);
    table->setModel(&model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(false);

    count = new QLabel(this);
    exportButton = new QPushButton(tr("Export CSV…"), this);
    exportButton->setAutoDefault(false);

    auto* filters = new QHBoxLayout;
    filters->addWidget(amplifier);
    filters->addWidget(group);
    filters->addWidget(fromOn);
    filters->addWidget(from);
    filters->addWidget(toOn);
    filters->addWidget(to);
    filters->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(count);
    bottom->addStretch();
    bottom->addWidget(exportButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table);
    layout->addLayout(bottom);

    connect(amplifier, &QComboBox::currentIndexChanged, this, &EventLogWindow::reload);
    connect(group, &QComboBox::currentIndexChanged, this, &EventLogWindow::reload);
    connect(fromOn, &QCheckBox::toggled, this, [this](bool on) {
        from->setEnabled(on);
        reload();
    });
    connect(toOn, &QCheckBox::toggled, this, [this](bool on) {
        to->setEnabled(on);
        reload();
    });
    connect(from, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (fromOn->isChecked())
            reload();
    });
    connect(to, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (toOn->isChecked())
            reload();
    });
    connect(exportButton, &QPushButton::clicked, this, &EventLogWindow::exportCsv);
    connect(&log, &EventLog::recorded, this, &EventLogWindow::onRecorded);

    resize(900, 480);
    reload();
    table->resizeColumnsToContents();
}

void EventLogWindow::setAmplifiers(const QList<Amplifier>& amplifiers)
{
    const QVariant chosen = amplifier->currentData();
    QList<Amplifier> offered = amplifiers;
    // Addresses only the log knows (amplifiers deleted since) are offered too.
    EventLog::Filter recent;
    recent.limit = shownEvents;
    for (const LogEvent& event : log.events(recent)) {
        if (!event.address)
            continue;
        const bool known = std::any_of(offered.cbegin(), offered.cend(),
                                       [&](const Amplifier& a) { return a.address == *event.address; });
        if (!known)
            offered.append({*event.address, event.name});
    }
    std::sort(offered.begin(), offered.end(),
              [](const Amplifier& a, const Amplifier& b) { return a.address < b.address; });

    const QSignalBlocker quiet(amplifier);
    while (amplifier->count() > 1)
        amplifier->removeItem(1);
    for (const Amplifier& a : offered) {
        const QString label = a.name.isEmpty() ? QString::number(a.address)
                                               : QStringLiteral("%1  %2").arg(a.address).arg(a.name);
        amplifier->addItem(label, a.address);
    }
    const int index = amplifier->findData(chosen);
    amplifier->setCurrentIndex(index < 0 ? 0 : index);
    reload();
}

EventLog::Filter EventLogWindow::filter() const
{
    EventLog::Filter f;
    if (amplifier->currentIndex() > 0)
        f.address = amplifier->currentData().toInt();
    f.group = static_cast<EventGroup>(group->currentData().toInt());
    if (fromOn->isChecked())
        f.since = from->dateTime().toUTC();
    if (toOn->isChecked())
        f.until = to->dateTime().toUTC();
    return f;
}

void EventLogWindow::reload()
{
    EventLog::Filter f = filter();
    // One more than shown tells whether there are more.
    f.limit = shownEvents + 1;
    QList<LogEvent> events = log.events(f);
    moreThanShown = events.size() > shownEvents;
    if (moreThanShown)
        events.resize(shownEvents);
    model.setEvents(std::move(events));
    showCount();
}

void EventLogWindow::onRecorded(const LogEvent& event)
{
    if (!filter().admits(event))
        return;
    if (model.rowCount() >= shownEvents)
        moreThanShown = true;
    model.prepend(event, shownEvents);
    showCount();
}

void EventLogWindow::showCount()
{
    const int shown = model.rowCount();
    count->setText(moreThanShown ? tr("The newest %1 events").arg(shown) : tr("%n event(s)", nullptr, shown));
}

void EventLogWindow::exportCsv()
{
    UserDialogs::FileRequest request;
    request.kind = UserDialogs::FileRequest::Save;
    request.caption = tr("Export CSV…");
    request.filter = QStringLiteral("CSV (*.csv)");
    request.defaultSuffix = QStringLiteral("csv");
    const QString path = UserDialogs::chooseFile(this, request);
    if (path.isEmpty())
        return;
    const QByteArray text = EventLog::csv(log.events(filter()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        UserDialogs::showError(this, tr("The events cannot be written to %1: %2").arg(path, file.errorString()),
                               UserDialogs::ErrorKind::File);
    }
}

void useEventLog(EventLog* log)
{
    setEventLog(log);
    if (!log) {
        setBusOfEvents({});
        UserDialogs::setErrorObserver({});
        return;
    }
    setBusOfEvents([] {
        const SharedState& shared = sharedState();
        if (shared.portNumber <= 0)
            return EventBus{};
        return EventBus{PortRegistry::pathOf(shared.portNumber), shared.baudText.toInt()};
    });
    UserDialogs::setErrorObserver([](const QString& text, UserDialogs::ErrorKind kind) {
        logEvent(std::nullopt, {},
                 kind == UserDialogs::ErrorKind::File ? QStringLiteral("error.file") : QStringLiteral("error.serial"),
                 text);
    });
}
