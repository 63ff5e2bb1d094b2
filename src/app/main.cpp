#include "app/AppDelegate.h"
#include "app/Dialogs.h"
#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Olvenmark"));
    QApplication::setApplicationVersion(QStringLiteral(OLVENMARK_VERSION));

    // The log's alerts appear as the window's own.
    Dialogs::routeLogAlerts();

    AppDelegate delegate;
    MainWindow window(&delegate);
    window.show();
    delegate.finishSplash(&window);
    window.openArguments(QApplication::arguments());
    return app.exec();
}
