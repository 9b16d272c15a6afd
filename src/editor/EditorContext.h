#pragma once

#include "editor/EditorSession.h"
#include "protocol/ParameterTable.h"
#include "response/MarkerState.h"
#include "widgets/DialogUnits.h"

#include <QString>

#include <cmath>
#include <functional>

class QComboBox;
class QLabel;
class QWidget;

// What the areas of the editor window share: the session with the model,
// the graph markers, the dialog units of the layout and the window's hooks.
struct EditorContext {
    EditorContext(EditorSession& session, MarkerState& markers, DialogUnits units, QWidget* canvas)
        : session(session), markers(markers), units(units), canvas(canvas)
    {
    }

    EditorSession& session;
    MarkerState& markers;
    DialogUnits units;
    QWidget* canvas = nullptr; // parent of every control

    // Set while the program itself puts values into controls (a full-state
    // read): lists, boxes and sliders then send nothing.
    bool applying = false;
    // Set while a preset file is being sent to the amplifier; the volume,
    // gain, threshold and attack sliders hold their frames back meanwhile.
    bool presetLoading = false;

    std::function<void()> invalidateEq;
    std::function<void()> invalidateCrossover;
    // RESET-EQ and RESET: reads the answer to a request already sent; the
    // label names the step for the history.
    std::function<void(const QString& label)> refreshRead;
    // A frame the user caused went out.
    std::function<void()> userChanged;

    AmpParameters& parameters() { return session.parameters(); }
    // A parameter's range for the amplifier edited, from the parameter table,
    // scaled (Q in tenths for its arrows) and, for the sliders whose top is
    // their minimum position, upside down.
    ValueMapping::Range range(ParameterKey key, double scale = 1) const
    {
        const ParameterLimits limits = ParameterTable::limits(key, session.parameters());
        return {static_cast<int>(std::lround(limits.minimum * scale)), static_cast<int>(std::lround(limits.maximum * scale))};
    }
    ValueMapping::Range upsideDown(ParameterKey key) const
    {
        const ValueMapping::Range values = range(key);
        return {-values.maximum, -values.minimum};
    }
    DeviceAddress address() const { return session.address(); }
    bool isOpen() const { return session.isOpen(); }
    // A frame caused by the user; never while applying.
    void send(const QByteArray& frame)
    {
        if (!applying && session.send(frame) && userChanged)
            userChanged();
    }
};

// Runs a piece of code with EditorContext::applying set.
class ApplyingScope {
public:
    explicit ApplyingScope(EditorContext& context) : context(context), previous(context.applying) { context.applying = true; }
    ~ApplyingScope() { context.applying = previous; }
    ApplyingScope(const ApplyingScope&) = delete;
    ApplyingScope& operator=(const ApplyingScope&) = delete;

private:
    EditorContext& context;
    bool previous;
};

namespace EditorLayout {

// Places a widget on the canvas at a rectangle in dialog units.
void place(const EditorContext& context, QWidget* widget, int left, int top, int width, int height);
// A caption label at a rectangle in dialog units.
QLabel* caption(const EditorContext& context, const QString& text, int left, int top, int width, int height);
// A list with its caption as buddy; the caption names it unless `name` says
// otherwise. Qt reports a list's current text as its accessible name, so the
// name goes into the description as well.
void nameList(QComboBox* list, QLabel* buddy, const QString& name);
// The accessible name of a per-channel control whose caption does not name
// its channel ("Mute CHB").
QString channelName(const QString& caption, int channel);
// A point smaller than the dialog font, for the narrow channel columns.
void useSmallFont(QWidget* widget);
// For a list narrower than its entries: the open list is as wide as its
// widest entry, and the closed one shows its whole entry as a tool tip.
void showWholeEntries(QComboBox* list);
// "CHA".."CHD"
QString channelTitle(int channel);

} // namespace EditorLayout
