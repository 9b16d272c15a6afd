#pragma once

#include "eventlog/EventLog.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QPushButton;
class QTableView;

// The events of the log as a table: newest first, one row each.
class EventTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { TimeColumn, AddressColumn, NameColumn, KindColumn, TextColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setEvents(QList<LogEvent> events);
    // A new event on top; the oldest row goes when more than `keep` are shown.
    void prepend(const LogEvent& event, int keep);
    const QList<LogEvent>& events() const { return rows; }

private:
    QList<LogEvent> rows;
};

// The event log window of the home page: the events newest first, filtered
// by amplifier, by group of kinds and by time, growing live as events are
// recorded, and exported as CSV.
class EventLogWindow : public QDialog {
    Q_OBJECT

public:
    // The newest events the window shows at once; an export takes all.
    static constexpr int shownEvents = 10000;

    struct Amplifier {
        int address = 0;
        QString name;
    };

    explicit EventLogWindow(EventLog& log, QWidget* parent = nullptr);

    // The amplifiers the filter offers (those of the device table); the
    // addresses the log knows are offered too.
    void setAmplifiers(const QList<Amplifier>& amplifiers);

    // The filter the controls describe now.
    EventLog::Filter filter() const;
    const EventTableModel& shown() const { return model; }

    // Reads the log again with the filter of the controls.
    void reload();
    // Asks for a file and writes every event that passes the filter into it.
    void exportCsv();

private:
    void onRecorded(const LogEvent& event);
    void showCount();

    EventLog& log;
    EventTableModel model;
    QComboBox* amplifier = nullptr;
    QComboBox* group = nullptr;
    QCheckBox* fromOn = nullptr;
    QDateTimeEdit* from = nullptr;
    QCheckBox* toOn = nullptr;
    QDateTimeEdit* to = nullptr;
    QTableView* table = nullptr;
    QLabel* count = nullptr;
    QPushButton* exportButton = nullptr;
    bool moreThanShown = false;
};

// Makes log the one the windows of this process record into: the bus of an
// event is the port and baud rate the home page found, and every error shown
// to the user is recorded too. nullptr stops recording.
void useEventLog(EventLog* log);
