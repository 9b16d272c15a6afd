#pragma once

#include "protocol/AmpStatus.h"

#include <QString>

#include <optional>

// What the home page hands the editor it opens: the amplifier's address
// and name as the row has them, and the port and baud rate it found.
struct EditorTarget {
    int address = 0;
    QString name;
    int portNumber = 0;
    QString baudText;
    // An amplifier of the open show, simulated in this process: no hardware.
    bool offline = false;
};

// Values one window leaves for another; they live as long as the process.
struct SharedState {
    int selectedAddress = 0;
    QString selectedName;
    int portNumber = 0;
    QString baudText;
    // The status the editor leaves behind for its amplifier's row, or that a
    // fault report of the home page sets; none until there is one.
    std::optional<AmpStatus> editorStatus;
    bool reopenHomePort = false;
    // The slot name last reported by an amplifier in the preset-slot dialog.
    QString presetName;
    // The slot last recalled.
    int presetNumber = 0;
    // Set once any slot has been recalled; never cleared during the run.
    bool presetRecalled = false;
};

SharedState& sharedState();

// The target of the amplifier chosen on the home page, as SharedState holds it.
EditorTarget chosenTarget();

// Back to the values of a fresh process (for tests).
void resetSharedState();
