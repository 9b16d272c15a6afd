#include "devices/DeviceTable.h"

#include "devices/DeviceTexts.h"
#include "protocol/ValueMapping.h"

int DeviceTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : size();
}

int DeviceTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DeviceTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !isValidRow(index.row()) || role != Qt::DisplayRole)
        return {};
    return text(index.row(), index.column());
}

QVariant DeviceTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return DeviceTexts::heading(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

QString& DeviceTable::cell(DeviceRow& row, int column)
{
    switch (column) {
    case NumberColumn:
        return row.number;
    case AddressColumn:
        return row.address;
    case NameColumn:
        return row.name;
    case ConnectionColumn:
        return row.connection;
    default:
        return row.state;
    }
}

const QString& DeviceTable::cell(const DeviceRow& row, int column)
{
    return cell(const_cast<DeviceRow&>(row), column);
}

QString DeviceTable::text(int row, int column) const
{
    if (!isValidRow(row) || column < 0 || column >= ColumnCount)
        return {};
    return cell(rows.at(row), column);
}

void DeviceTable::setText(int row, int column, const QString& text)
{
    if (!isValidRow(row) || column <= NumberColumn || column >= ColumnCount)
        return;
    if (column == StateColumn)
        rows[row].status = {};
    QString& target = cell(rows[row], column);
    if (target == text)
        return;
    target = text;
    const QModelIndex changed = index(row, column);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
}

int DeviceTable::appendRow(const QString& address, const QString& name, const QString& connection,
                           const QString& state)
{
    const int at = size();
    beginInsertRows({}, at, at);
    rows.append({QString::number(at + 1), address, name, connection, state});
    endInsertRows();
    return at;
}

bool DeviceTable::deleteRow(int row)
{
    if (!isValidRow(row))
        return false;
    beginRemoveRows({}, row, row);
    rows.removeAt(row);
    endRemoveRows();
    renumber();
    return true;
}

void DeviceTable::clear()
{
    if (rows.isEmpty())
        return;
    beginResetModel();
    rows.clear();
    endResetModel();
}

void DeviceTable::renumber()
{
    for (int i = 0; i < size(); ++i)
        rows[i].number = QString::number(i + 1);
    if (!rows.isEmpty())
        Q_EMIT dataChanged(index(0, NumberColumn), index(size() - 1, NumberColumn), {Qt::DisplayRole});
}

int DeviceTable::addressValue(int row) const
{
    return ValueMapping::leadingInteger(text(row, AddressColumn));
}

QList<int> DeviceTable::rowsWithAddress(int address) const
{
    QList<int> found;
    for (int i = 0; i < size(); ++i) {
        if (addressValue(i) == address)
            found.append(i);
    }
    return found;
}

void DeviceTable::setState(int row, const AmpStatus& status)
{
    if (!isValidRow(row))
        return;
    setText(row, StateColumn, DeviceTexts::status(status));
    rows[row].status = status;
}

void DeviceTable::setStateForAddress(const QString& addressText, const AmpStatus& status)
{
    for (int i = 0; i < size(); ++i) {
        if (rows.at(i).address == addressText)
            setState(i, status);
    }
}
