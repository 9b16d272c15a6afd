#pragma once

#include "Hex.h"
#include "RecordingLink.h"

#include "app/SharedState.h"
#include "app/UiLanguage.h"
#include "clock/VirtualClock.h"
#include "serial/ForwardingLink.h"
#include "sim/SimBus.h"
#include "sim/SimLink.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <memory>

#include <gtest/gtest.h>

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

inline void writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A simulated bus on port 1 behind an open link, on the virtual clock,
// English texts, a fresh SharedState, every frame the amplifiers heard
// recorded.
struct PresetBusTest : testing::Test {
    ScopedVirtualClock clock;
    SimBus bus{19200};
    SimLink link{&bus};
    QTemporaryDir folder;
    QList<QByteArray> heard;

    PresetBusTest()
    {
        setUiLanguage(englishUi);
        resetSharedState();
        QObject::connect(&bus, &SimBus::frameHeard, [this](const QByteArray& f) { heard << f; });
        link.open(1, QStringLiteral("19200,n,8,1"));
    }
    ~PresetBusTest() override
    {
        resetSharedState();
        setUiLanguage(englishUi);
    }
    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
};
