#include "app/AppDelegate.h"
#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "app/UiTexts.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

// True when Qt has somewhere to show the window: an X or Wayland display, or
// a platform chosen by the environment or by -platform on the command line.
bool displayFound(int argc, char* argv[]) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(name)) {
            return true;
        }
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    // Without a display Qt aborts with a message that points at a reinstall;
    // the user is told what to run instead.
    if (!displayFound(argc, argv)) {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(uitext::kNoDisplay.size()),
                     uitext::kNoDisplay.data());
        return 1;
    }
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
