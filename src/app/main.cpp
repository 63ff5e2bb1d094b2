#include "AppDelegate.h"
#include "Dialogs.h"
#include "MainWindow.h"
#include "myLog.h"

#include <QApplication>
#include <QThread>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Olvenmark"));
    QApplication::setApplicationVersion(QStringLiteral(OLVENMARK_VERSION));

    // The log's alerts appear as the window's own; from another thread, on the console.
    myLog::setAlertHook([](const std::string& title, const std::string& text,
                           const std::string& button) {
        if (QThread::currentThread() == qApp->thread()) {
            Dialogs::instance().alert(QString::fromStdString(title), QString::fromStdString(text),
                                      {QString::fromStdString(button)});
        }
    });

    AppDelegate delegate;
    MainWindow window(&delegate);
    window.show();
    delegate.finishSplash(&window);
    return app.exec();
}
