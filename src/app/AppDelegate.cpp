#include "AppDelegate.h"

#include "CodeForSplashScreen.h"
#include "Dialogs.h"

AppDelegate::AppDelegate(int splashSeconds, QObject* parent) : QObject(parent) {
    splash = CodeForSplashScreen().doSplash(splashSeconds);
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::finishSplash(QWidget* mainWindow) {
    if (splash) {
        splash->finish(mainWindow);
        splash.reset();
    }
}

bool AppDelegate::applicationShouldTerminate() {
    return Dialogs::instance().alert(QStringLiteral("Confirmation"),
                                     QStringLiteral("Do you want to close the application?"),
                                     {QStringLiteral("No"), QStringLiteral("Yes")}) == 1;
}
