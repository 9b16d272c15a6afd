#pragma once

#include "protocol/AmpStatus.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <array>

// One row of the device table: five texts, as the list view shows them, and
// the status the Equipment state says, as a value (None where the text came
// from elsewhere).
struct DeviceRow {
    QString number;
    QString address;
    QString name;
    QString connection;
    QString state;
    AmpStatus status{};

    bool operator==(const DeviceRow&) const = default;
};

// The home page's table of amplifiers, the only store of the device list
// while the program runs. Every cell is text; the list view shows it through
// Qt::DisplayRole and the headings through headerData.
class DeviceTable : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { NumberColumn, AddressColumn, NameColumn, ConnectionColumn, StateColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    int size() const { return static_cast<int>(rows.size()); }
    bool isValidRow(int row) const { return row >= 0 && row < size(); }
    const DeviceRow& row(int row) const { return rows.at(row); }
    const QList<DeviceRow>& allRows() const { return rows; }
    // Empty text outside the table.
    QString text(int row, int column) const;
    // Ignored outside the table and for the Number column.
    void setText(int row, int column, const QString& text);

    // Appends a row numbered after the rows before it; returns its index.
    int appendRow(const QString& address, const QString& name, const QString& connection, const QString& state);
    // Removes a row and renumbers the rest 1, 2, 3, ...; false outside the table.
    bool deleteRow(int row);
    void clear();

    // The address cell read as an integer (leading digits, anything else 0).
    int addressValue(int row) const;
    // Rows whose address cell, read as an integer, equals address.
    QList<int> rowsWithAddress(int address) const;
    bool hasAddress(int address) const { return !rowsWithAddress(address).isEmpty(); }
    // The Equipment state of a row: the status's words and the status.
    void setState(int row, const AmpStatus& status);
    // Writes the status into the Equipment state of every row whose address
    // cell equals addressText exactly.
    void setStateForAddress(const QString& addressText, const AmpStatus& status);

private:
    static QString& cell(DeviceRow& row, int column);
    static const QString& cell(const DeviceRow& row, int column);
    void renumber();

    QList<DeviceRow> rows;
};
