#pragma once

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

// Bytes written as hex pairs with optional blanks: "55 06 03".
inline QByteArray hex(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }
inline std::string spaced(const QByteArray& bytes) { return bytes.toHex(' ').toUpper().toStdString(); }

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

// A link that keeps every write of the link it stands in front of.
class RecordingLink final : public ForwardingLink {
public:
    explicit RecordingLink(std::unique_ptr<SerialLink> inner, QObject* parent = nullptr)
        : ForwardingLink(*inner, parent), inner(std::move(inner))
    {
    }
    QList<QByteArray> writes;

    void write(const QByteArray& bytes) override
    {
        writes << bytes;
        ForwardingLink::write(bytes);
    }

private:
    std::unique_ptr<SerialLink> inner;
};

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
