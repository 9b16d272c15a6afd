#pragma once

#include "app/SharedState.h"
#include "app/StatusWords.h"
#include "clock/WaitClock.h"
#include "protocol/AmpParameters.h"
#include "protocol/AmpStatus.h"
#include "protocol/FullStateReply.h"
#include "protocol/MonitorReply.h"
#include "serial/ForwardingLink.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class SerialLink;

// The editor's serial logic on its own link, without widgets: the
// connection check, the full-state reads, the monitor timer and the decoding
// of the live readings into texts. It owns the parameter model the controls
// show. Every wait goes through waitClock(); a SerialError from the link
// propagates to the caller.
class EditorSession : public QObject {
    Q_OBJECT

public:
    static constexpr int receiveThreshold = 1; // every byte raises a receive event
    static constexpr int probeWaitMs = 200;
    static constexpr int receiveWaitMs = 50;   // lets the rest of a monitor reply arrive
    static constexpr int refreshWaitMs = 500;
    static constexpr int factoryResetWaitMs = 2000;
    static constexpr int firstMonitorPeriodMs = 1000;
    // More unanswered polls than this in a row show the lost picture.
    static constexpr int missedPollsTolerated = 6;

    EditorSession(SerialLink& link, const EditorTarget& target, QObject* parent = nullptr);

    const EditorTarget& target() const { return amplifier; }

    // The editor's one send path: every frame written through it, by the
    // editor or by the preset actions it runs, skips the next poll.
    SerialLink& link() { return editorLink; }
    bool isOpen() const;
    AmpParameters& parameters() { return params; }
    const AmpParameters& parameters() const { return params; }
    DeviceAddress address() const { return params.address; }

    // A frame the user caused: written only while the port is open, and then
    // the next monitor tick sends no poll. Returns whether it went out.
    bool send(const QByteArray& frame);

    // Shows the outcome of the connection check and a refusal of the port
    // (a message box in the window); isError for all but a success.
    using Announcer = std::function<void(const QString& text, bool isError)>;
    void setAnnouncer(Announcer announcer) { announce = std::move(announcer); }

    enum class ConnectResult { NoPort, Connected, Failed };
    // Probes each port in turn for the target's amplifier at the target's
    // baud rate; the first that answers stays open. A port this
    // editor holds open already is probed first, in place: the port list
    // leaves it out, and opening another port would close it.
    ConnectResult connectEditor(const QList<int>& portNumbers);

    // The wait after a full-state request at a baud rate; 0 for rates the
    // amplifiers do not use.
    static int fullStateWaitMs(const QString& baudText);
    // Requests the whole state and applies what arrives after the wait of
    // the target's baud rate (or the one given); nothing when the port is
    // closed.
    std::optional<FullStateReply> readFullState();
    std::optional<FullStateReply> readFullState(int waitMs);
    // Applies the answer to a request the caller has sent already.
    std::optional<FullStateReply> refreshFromReply();
    // The full-state decode of the bytes of one read: the model, the status
    // text, and the input dropped. Controls are the caller's part.
    FullStateReply applyFullState(const QByteArray& bytes);
    // The bytes of the last full-state read, as they arrived.
    const QByteArray& lastReply() const { return replyBytes; }

    // ---- Monitor timer ----
    ClockTimer& monitorTimer() { return timer; }
    int monitorPeriodMs() const { return period; }
    // A refresh-rate item: the new period, the timer restarted.
    void setMonitorPeriod(int ms);
    // "Refresh off": the period keeps its value.
    void stopMonitor() { timer.stop(); }
    // A refusal of the poll is shown through the announcer once, until a
    // poll goes out again; the timer goes on.
    void monitorTick();
    // A refusal the window has just shown for a user action: the next poll
    // does not say it again.
    void noteShownRefusal(const QString& text) { tickError = text; }
    int missedPolls() const { return missed; }
    bool frameSentSinceTick() const { return frameSent; }

    // The receive notification of the link.
    void onEditorReceive(int eventCode);

    // ---- What the window shows ----
    bool linkConnected() const { return connected; }
    const AmpStatus& status() const { return shownStatus; }
    // The status in the interface language.
    QString statusText() const;
    void setStatus(const AmpStatus& status);
    const MonitorTexts& readings() const { return live; }

Q_SIGNALS:
    void linkStateChanged(bool connected);
    void statusTextChanged(const QString& text);
    // The amplifier's monitor reply tells a status other than the one shown
    // (clip, limiting, protection, ...); said before the text changes.
    void monitorStatusChanged(const AmpStatus& status);
    void readingsChanged();

private:
    // Marks frameSentSinceTick for every frame written through it.
    class MarkingLink final : public ForwardingLink {
    public:
        MarkingLink(SerialLink& inner, bool& mark) : ForwardingLink(inner), mark(mark) {}
        void write(const QByteArray& bytes) override
        {
            ForwardingLink::write(bytes);
            mark = true;
        }

    private:
        bool& mark;
    };

    void setLinkConnected(bool on);
    std::optional<FullStateReply> readAndApply(int waitMs);

    EditorTarget amplifier;
    SerialLink& serial; // the monitor's polls go out here, past the marking
    MarkingLink editorLink;
    AmpParameters params;
    Announcer announce;
    ClockTimer timer;
    int period = firstMonitorPeriodMs;
    int missed = 0;
    bool frameSent = false;
    bool connected = false;
    AmpStatus shownStatus{AmpStatusKind::NotConnected};
    QString tickError; // the refusal of the last poll, already shown
    MonitorTexts live;
    QByteArray replyBytes;
};
