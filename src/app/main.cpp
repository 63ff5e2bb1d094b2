#include "app/AppController/AppController.h"
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
    // A file handed over by the desktop (Open With, the menu entry's %f).
    if (const QStringList args = QApplication::arguments(); args.size() > 1) {
        window.controller()->loadDroppedFile(args.at(1));
    }
    return app.exec();
}
