#include "app/AppDelegate.h"

#include "app/CodeForSplashScreen.h"
#include "app/Dialogs.h"
#include "app/UiTexts.h"

AppDelegate::AppDelegate(int splashSeconds, const SplashHold& hold, QObject* parent)
    : QObject(parent) {
    splash = CodeForSplashScreen().doSplash(splashSeconds, hold);
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::finishSplash(QWidget* mainWindow) {
    if (splash) {
        splash->finish(mainWindow);
        splash.reset();
    }
}

bool AppDelegate::applicationShouldTerminate(bool exportRunning) {
    return Dialogs::instance().alert(
               uitext::q(uitext::kConfirmation), uitext::q(uitext::kQuitQuestion),
               {uitext::q(uitext::kNo), uitext::q(uitext::kYes)},
               exportRunning ? uitext::q(uitext::kQuitDuringExport) : QString()) == 1;
}
