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

// True from the start of an export until its report has been dismissed: the
// file, the pairs and the output choices stay as the run took them.
constexpr bool isBusy(WindowPhase phase) {
    return phase == WindowPhase::Running || phase == WindowPhase::Cancelling ||
           phase == WindowPhase::Finished;
}
