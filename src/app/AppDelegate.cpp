#include "app/AppDelegate.h"

#include "app/CodeForSplashScreen.h"
#include "app/Dialogs.h"
#include "app/UiTexts.h"

#include <QCoreApplication>

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Drop:
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

AppDelegate::AppDelegate(int splashSeconds, const SplashHold& hold, QObject* parent)
    : QObject(parent) {
    // The splash holds the application: a key pressed meanwhile (Ctrl+Q) must
    // not act once the window is up.
    QCoreApplication::instance()->installEventFilter(&blocker);
    splash = CodeForSplashScreen().doSplash(splashSeconds, hold);
}

AppDelegate::~AppDelegate() {
    QCoreApplication::instance()->removeEventFilter(&blocker);
}

void AppDelegate::finishSplash(QWidget* mainWindow) {
    // Input held back while the splash was up arrives now, and goes.
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(&blocker);
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
