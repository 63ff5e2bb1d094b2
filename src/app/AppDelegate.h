// The application's delegate: the splash at start-up and the question before
// the application quits.
#pragma once

#include "app/CodeForSplashScreen.h"

#include <QObject>
#include <QSplashScreen>

#include <memory>

class QWidget;

class AppDelegate : public QObject {
    Q_OBJECT

public:
    // Shows the splash for the given time before anything else runs; `hold`
    // is how the main thread waits meanwhile.
    explicit AppDelegate(int splashSeconds = 3, const SplashHold& hold = holdWhilePainting(),
                         QObject* parent = nullptr);
    ~AppDelegate() override;

    // Closes the splash once the main window is up.
    void finishSplash(QWidget* mainWindow);
    // Asks "Do you want to close the application?"; true on "Yes". During an
    // export the question says that the export stops after the contact in hand.
    bool applicationShouldTerminate(bool exportRunning = false);

private:
    std::unique_ptr<QSplashScreen> splash;
};
