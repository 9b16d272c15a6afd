#pragma once

#include "serial/SerialPorts.h"

#include <QList>

#include <functional>
#include <utility>

// Makes `source` the list of present ports, takes every one as openable and
// returns the numbers the port list gives them, in list order: the numbers
// the tests' links answer on.
inline QList<int> listPorts(std::function<QList<SerialPorts::PresentPort>()> source)
{
    SerialPorts::setPresentPortsSource(std::move(source));
    SerialPorts::setOpenTest([](const QString&) { return true; });
    QList<SSerInfo> list;
    ListSerialPorts(list);
    QList<int> numbers;
    for (const SSerInfo& info : list)
        numbers.append(PortNumberFromName(info.displayName));
    return numbers;
}
