// The headers of the standard library and Qt that the program's sources
// use most, precompiled once for the libraries without windows and once for
// those with (CMakeLists.txt at the top). Only the modules a library links
// are included: a library sees nothing here that it could not include.
// QtSerialPort and QtSql stay out, so that one header serves the libraries
// with and without them.
#pragma once

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#ifdef QT_GUI_LIB
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPixmap>
#endif

#ifdef QT_WIDGETS_LIB
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QWidget>
#endif
