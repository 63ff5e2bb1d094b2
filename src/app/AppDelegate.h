// The application's delegate: the splash at start-up and the question before
// the application quits.
#pragma once

#include "app/CodeForSplashScreen.h"

#include <QObject>
#include <QSplashScreen>

#include <memory>

class QWidget;

// Swallows what the user types, clicks or drops into any of the
// application's windows.
class InputBlocker : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

class AppDelegate : public QObject {
    Q_OBJECT

public:
    // Shows the splash for the given time before anything else runs; `hold`
    // is how the main thread waits meanwhile. No input is taken from then on
    // until the main window is up.
    explicit AppDelegate(int splashSeconds = 3, const SplashHold& hold = holdWhilePainting(),
                         QObject* parent = nullptr);
    ~AppDelegate() override;

    // Closes the splash once the main window is up; what the user typed or
    // clicked before is dropped, and input goes to the window from now on.
    void finishSplash(QWidget* mainWindow);
    // Asks "Do you want to close the application?"; true on "Yes". During an
    // export the question says that the export stops after the contact in hand.
    bool applicationShouldTerminate(bool exportRunning = false);

private:
    InputBlocker blocker;
    std::unique_ptr<QSplashScreen> splash;
};
