// The phases of the main window; every control's state follows from the phase.
#pragma once

enum class WindowPhase {
    Empty,      // no file loaded
    Loaded,     // a file loaded, nothing paired yet
    Paired,     // at least one pair: it can be checked and exported
    Running,    // an export goes on
    Cancelling, // the user cancelled; the run finishes the contact in hand
    Finished,   // the run has ended and its report is up
};
